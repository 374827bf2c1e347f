#include "tasks/OutputReservation.h"

#include "app/Helpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tolvex {

namespace {

constexpr int kMaxNumber = 100000;

// The path up to the dot of its file name's extension (all of it when there is none).
std::string WithoutExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    return dot == std::string::npos || dot <= nameStart ? path : path.substr(0, dot);
}

}  // namespace

std::string NumberedPath(const std::string& path, int n)
{
    if (n <= 0)
        return path;
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    // A dot that starts the name (".mp4") or lies in the folder is no extension.
    if (dot == std::string::npos || dot <= nameStart)
        dot = path.size();
    // The number and the extension stay whole; a name that would grow past the file
    // name limit loses the end of its stem instead.
    return path.substr(0, nameStart) +
           FittedName(path.substr(nameStart, dot - nameStart), "-" + std::to_string(n) + path.substr(dot));
}

std::optional<Reservation> ReserveOutput(const std::string& wanted, std::string& error)
{
    if (wanted.empty()) {
        error = "the job has no output file";
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(wanted.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        return Reservation{wanted, false};
    for (int n = 0; n <= kMaxNumber; ++n) {
        const std::string candidate = NumberedPath(wanted, n);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0) {
            ::close(fd);
            return Reservation{candidate, true};
        }
        if (errno != EEXIST) {
            error = "cannot create the output file " + candidate + ": " + std::strerror(errno);
            return std::nullopt;
        }
    }
    error = "no free output name for " + wanted;
    return std::nullopt;
}

std::shared_ptr<JobOutputs> ReservePlanOutput(JobPlan& plan, std::string& error)
{
    const std::optional<Reservation> reserved = ReserveOutput(plan.outputPath(), error);
    if (!reserved)
        return nullptr;
    if (!reserved->created)
        return std::make_shared<JobOutputs>(std::string(), plan.scratchFiles);
    const std::string wantedOutput = plan.outputPath();
    plan.command.setLastArg(reserved->path);
    // The other files of the command are named after the output ("a-2.mp3" beside "a.mp3"),
    // so they follow the name it really got; each takes its own free name, or the job does
    // not run.
    std::vector<std::string> extras;
    for (std::string& planned : plan.extraOutputs) {
        std::string wanted = planned;
        const std::string from = WithoutExtension(wantedOutput);
        if (wanted.rfind(from, 0) == 0)
            wanted = WithoutExtension(reserved->path) + wanted.substr(from.size());
        const std::optional<Reservation> extra = ReserveOutput(wanted, error);
        if (!extra || !extra->created) {
            for (const std::string& made : extras)
                ::unlink(made.c_str());
            ::unlink(reserved->path.c_str());
            if (extra)
                error = "cannot write " + wanted;
            return nullptr;
        }
        plan.command.replaceArg(planned, extra->path);
        planned = extra->path;
        extras.push_back(extra->path);
    }
    if (!plan.command.hasArg("-y"))
        plan.command.prepend("-y");
    return std::make_shared<JobOutputs>(reserved->path, plan.scratchFiles, std::move(extras), plan.dateSource);
}

}  // namespace tolvex
