#include "media/OutputParamsTable.h"

namespace tolvex {

void OutputParamsTable::store(const OutputParams& params)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_records[params.taskId] = params;
}

std::optional<OutputParams> OutputParamsTable::find(int32_t taskId) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto it = m_records.find(taskId);
    if (it == m_records.end())
        return std::nullopt;
    return it->second;
}

void OutputParamsTable::erase(int32_t taskId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_records.erase(taskId);
}

void OutputParamsTable::clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_records.clear();
}

size_t OutputParamsTable::size() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_records.size();
}

}  // namespace tolvex
