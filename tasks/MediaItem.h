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

// What the add read of the file, so that nothing has to probe it again on the window's
// thread: its size, and from the media probe its playing time, picture and sound.
struct MediaItem {
    QString fileName;  // name with extension, no folder
    QString folder;
    QString fullPath;
    int64_t fileSize = 0;   // bytes
    double duration = 0.0;  // seconds (0 when the probe failed, -1 without picture and sound)
    int width = 0;          // the stored picture's size; 0 without a picture or when unknown
    int height = 0;
    int uprightTurn = 0;       // clockwise turn ffmpeg gives the picture to show it upright: 0, 90, 180, 270
    bool hasAudio = true;      // true when unknown
    int audioTrackCount = -1;  // sound streams; -1 when unknown
    QString scanRoot;          // the folder a folder scan started from; empty for files added one by one

    // The probe found a picture or sound in the file.
    bool readable() const { return width > 0 || audioTrackCount > 0; }
    bool sideways() const { return uprightTurn == 90 || uprightTurn == 270; }
    // The picture as it is shown, and as ffmpeg's filters see it.
    int uprightWidth() const { return sideways() ? height : width; }
    int uprightHeight() const { return sideways() ? width : height; }
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
