#include "tasks/JobOutputs.h"

#include <unistd.h>

namespace tolvex {

JobOutputs::JobOutputs(std::string output, std::vector<std::string> scratchFiles)
    : m_output(std::move(output)), m_scratchFiles(std::move(scratchFiles))
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
    if (!keepOutput && !m_output.empty())
        ::unlink(m_output.c_str());
    return true;
}

}  // namespace tolvex
