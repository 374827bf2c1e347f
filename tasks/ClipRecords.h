#pragma once

// Clips confirmed in the split and GIF dialogs: the records, the process-wide hand-over
// lists in which they wait for the main window, and the per-page tables of the clips that
// became list items (one record per task id, kept for the life of the window).
//
// Thread use: every list and table takes its own lock on every access. The dialogs append
// to the hand-over lists and the main window drains them on the UI thread; the page
// workers read the clip tables by task id at job start.

#include "tasks/TaskTypes.h"

#include <QTime>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

struct GifClip {
    int32_t itemId = 0;      // the task id once the clip is a list item
    std::string sourcePath;  // input path
    std::string outputName;  // stem "-" HHMMSS ".gif", fixed when the clip was added
    std::string startText;   // "h:m:s" as typed
    std::string endText;
    // "画质优先": palettes made from the clip's own frames instead of ffmpeg's fixed one.
    bool bestPicture = false;
};

struct SplitClip {
    int32_t itemId = 0;
    std::string sourcePath;
    std::string outputName;  // stem "-" HHMMSS "." source extension
    std::string startText;
    std::string endText;
    // The crop rectangle in the pixels of the upright picture (a phone video's as it is
    // shown, which is the picture ffmpeg's filters get); the whole picture at 0,0 when
    // cropping was off.
    int32_t cropEnabled = 0;
    int32_t cropX = 0;
    int32_t cropY = 0;
    int32_t cropWidth = 0;
    int32_t cropHeight = 0;
    // 1: the clip copies the packets ("无损快速"), from the key frame at or before the start
    // (never with a crop, which needs the picture encoded again).
    int32_t lossless = 0;
    // The time of that key frame in seconds as the dialog found it; -1 when not known yet
    // (the job then looks it up).
    double keyFrameSeconds = -1.0;
};

// The output name a clip gets when it is added: the text between the last "/" (or "\")
// and the last "." of the source path, "-", HHMMSS, ".", then the source's extension
// (split) or "gif".
std::string SplitClipOutputName(const std::string& sourcePath, const QTime& time);
std::string GifClipOutputName(const std::string& sourcePath, const QTime& time);

// Where the clip really starts, as "hh:mm:ss": the key frame's time of a lossless clip
// whose key frame is known, otherwise its start text.
std::string ClipShownStart(const SplitClip& clip);
inline std::string ClipShownStart(const GifClip& clip)
{
    return clip.startText;
}

// Clips in the order they came, behind one lock (used from the UI thread and the workers).
template <class Clip>
class GuardedClips {
public:
    size_t size() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_clips.size();
    }

protected:
    void push(const Clip& clip)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_clips.push_back(clip);
    }

    mutable std::mutex m_lock;
    std::vector<Clip> m_clips;
};

// A list of clips waiting to be taken over, in the order they were confirmed.
template <class Clip>
class ClipHandOverList : public GuardedClips<Clip> {
public:
    void append(const Clip& clip) { this->push(clip); }
    // Takes every waiting clip, leaving the list empty.
    std::vector<Clip> drain()
    {
        std::lock_guard<std::mutex> guard(this->m_lock);
        std::vector<Clip> taken;
        taken.swap(this->m_clips);
        return taken;
    }
};

// The clips a page has taken over, in the order received; looked up by task id.
template <class Clip>
class ClipTable : public GuardedClips<Clip> {
public:
    void add(const Clip& clip) { this->push(clip); }
    std::optional<Clip> find(TaskId taskId) const
    {
        std::lock_guard<std::mutex> guard(this->m_lock);
        for (const Clip& c : this->m_clips) {
            if (c.itemId == taskId)
                return c;
        }
        return std::nullopt;
    }
};

using SplitClipTable = ClipTable<SplitClip>;
using GifClipTable = ClipTable<GifClip>;

// The process-wide hand-over lists of the split and GIF dialogs (created on first use).
ClipHandOverList<SplitClip>& SplitClipList();
ClipHandOverList<GifClip>& GifClipList();

}  // namespace tolvex
