#pragma once

// The input file of one list item, and the guarded table of them by task id.
// Thread use: the UI thread writes (add, erase); page workers read snapshots at job start.

#include "tasks/TaskTypes.h"

#include <QString>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace tolvex {

struct MediaItem {
    QString fileName;  // name with extension, no folder
    QString folder;
    QString fullPath;
    int64_t fileSize = 0;   // bytes
    double duration = 0.0;  // seconds
};

class MediaItemTable {
public:
    void set(TaskId id, MediaItem item)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_items[id] = std::move(item);
    }
    // A copy of the record; an unknown id reads as an empty record.
    MediaItem get(TaskId id) const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_items.find(id);
        return it == m_items.end() ? MediaItem{} : it->second;
    }
    std::optional<MediaItem> find(TaskId id) const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto it = m_items.find(id);
        if (it == m_items.end())
            return std::nullopt;
        return it->second;
    }
    bool contains(TaskId id) const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_items.count(id) != 0;
    }
    void erase(TaskId id)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_items.erase(id);
    }
    size_t size() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_items.size();
    }

private:
    mutable std::mutex m_lock;
    std::map<TaskId, MediaItem> m_items;
};

}  // namespace tolvex
