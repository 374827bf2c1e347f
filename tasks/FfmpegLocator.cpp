#include "tasks/FfmpegLocator.h"

#include "app/Helpers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace tolvex {

namespace {

constexpr const char* kProgramName = "ffmpeg";

bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string RunningExecutableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    std::string path(buffer, static_cast<size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string FindFfmpegProgram(const std::string& executableFolder, const std::string& pathVariable)
{
    // Only absolute places: a relative folder (an empty PATH entry means the current one)
    // would run whatever program named ffmpeg happens to lie where the user stands.
    if (!executableFolder.empty() && executableFolder.front() == '/') {
        const std::string beside = executableFolder + "/" + kProgramName;
        if (IsExecutableFile(beside))
            return beside;
    }
    for (const auto& folder : SplitTokens(pathVariable, ":")) {
        if (folder.empty() || folder.front() != '/')
            continue;
        const std::string candidate = folder + "/" + kProgramName;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return {};
}

std::string FfmpegProgramPath()
{
    const char* path = std::getenv("PATH");
    return FindFfmpegProgram(RunningExecutableFolder(), path ? path : "/usr/local/bin:/usr/bin:/bin");
}

}  // namespace tolvex
