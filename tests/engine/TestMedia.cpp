#include "tests/engine/TestMedia.h"

#include "tasks/ChildProcess.h"
#include "tasks/FfmpegLocator.h"

#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace tolvex::test {

bool RunFfmpeg(const std::vector<std::string>& args, std::string* output)
{
    std::vector<std::string> argv{FfmpegProgramPath(), "-hide_banner", "-nostdin", "-y"};
    argv.insert(argv.end(), args.begin(), args.end());
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::Spawn(argv, pipe, error);
    if (!process)
        return false;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipe.get(), buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        if (output)
            output->append(buffer, static_cast<size_t>(n));
    }
    return process->waitForExit().success();
}

bool MakeVideo(const std::string& path, double seconds, int width, int height, bool withAudio)
{
    const std::string duration = std::to_string(seconds);
    std::vector<std::string> args{"-f", "lavfi", "-i",
                                  "testsrc2=size=" + std::to_string(width) + "x" + std::to_string(height) +
                                      ":rate=25:duration=" + duration};
    if (withAudio) {
        args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:duration=" + duration, "-c:a", "aac"});
    }
    args.insert(args.end(), {"-c:v", "mpeg4", "-threads", "1", path});
    return RunFfmpeg(args);
}

bool MakeAudio(const std::string& path, double seconds)
{
    return RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=" + std::to_string(seconds), "-c:a", "aac",
                      path});
}

std::vector<std::string> ConvertArgs(const std::string& input, const std::string& output)
{
    return {"-i", input, "-c:v", "mpeg4", "-threads", "1", "-c:a", "aac", "-y", output};
}

bool NoChildProcesses()
{
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

bool ProcessGone(int pid)
{
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

}  // namespace tolvex::test
