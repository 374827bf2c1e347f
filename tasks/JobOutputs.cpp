#include "tasks/JobOutputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvex {

namespace {

// Gives `path` the modification time of `source`, so that file managers and photo
// libraries sort a result with its original.
void CopyModificationTime(const std::string& source, const std::string& path)
{
    struct stat info {};
    if (source.empty() || path.empty() || ::stat(source.c_str(), &info) != 0)
        return;
    const struct timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

JobOutputs::JobOutputs(std::string output, std::vector<std::string> scratchFiles, std::vector<std::string> extraOutputs,
                       std::string dateSource)
    : m_output(std::move(output)),
      m_scratchFiles(std::move(scratchFiles)),
      m_extraOutputs(std::move(extraOutputs)),
      m_dateSource(std::move(dateSource))
{
}

bool JobOutputs::keep()
{
    return settle(true);
}

bool JobOutputs::discard()
{
    return settle(false);
}

bool JobOutputs::withdraw()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_state != State::Kept)
        return false;
    m_state = State::Discarded;
    for (const std::string& file : m_extraOutputs)
        ::unlink(file.c_str());
    if (!m_output.empty())
        ::unlink(m_output.c_str());
    return true;
}

bool JobOutputs::settle(bool keepOutput)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_state != State::Open)
        return false;
    m_state = keepOutput ? State::Kept : State::Discarded;
    for (const std::string& file : m_scratchFiles) {
        if (!file.empty())
            ::unlink(file.c_str());
    }
    std::vector<std::string> outputs = m_extraOutputs;
    outputs.push_back(m_output);
    for (const std::string& file : outputs) {
        if (file.empty())
            continue;
        if (keepOutput)
            CopyModificationTime(m_dateSource, file);
        else
            ::unlink(file.c_str());
    }
    return true;
}

}  // namespace tolvex
