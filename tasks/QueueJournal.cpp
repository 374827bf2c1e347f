#include "tasks/QueueJournal.h"

#include "app/Helpers.h"

namespace tolvex {

namespace {

constexpr const char* kPageNames[kPageCount] = {"convert", "split",   "merge", "compress", "rotate",
                                                "gif",     "extract", "mute",  "music"};

struct StateName {
    JournalState state;
    const char* name;
};
constexpr StateName kStateNames[] = {
    {JournalState::Listed, "listed"}, {JournalState::Waiting, "waiting"}, {JournalState::Running, "running"},
    {JournalState::Done, "done"},     {JournalState::Failed, "failed"},
};

bool SameMedia(const MediaItem& a, const MediaItem& b)
{
    return a.fileName == b.fileName && a.folder == b.folder && a.fullPath == b.fullPath && a.fileSize == b.fileSize &&
           a.duration == b.duration && a.width == b.width && a.height == b.height && a.uprightTurn == b.uprightTurn &&
           a.hasAudio == b.hasAudio && a.audioTrackCount == b.audioTrackCount && a.scanRoot == b.scanRoot;
}

bool SameSplit(const std::optional<SplitClip>& a, const std::optional<SplitClip>& b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return a->sourcePath == b->sourcePath && a->outputName == b->outputName && a->startText == b->startText &&
           a->endText == b->endText && a->cropEnabled == b->cropEnabled && a->cropX == b->cropX &&
           a->cropY == b->cropY && a->cropWidth == b->cropWidth && a->cropHeight == b->cropHeight &&
           a->lossless == b->lossless && a->keyFrameSeconds == b->keyFrameSeconds;
}

bool SameGif(const std::optional<GifClip>& a, const std::optional<GifClip>& b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return a->sourcePath == b->sourcePath && a->outputName == b->outputName && a->startText == b->startText &&
           a->endText == b->endText && a->bestPicture == b->bestPicture;
}

bool IsUnfinished(const JournalJob& job)
{
    return job.state == JournalState::Waiting || job.state == JournalState::Running;
}

}  // namespace

QString JournalItem::inputPath() const
{
    if (split)
        return ToWideAnsi(split->sourcePath);
    if (gif)
        return ToWideAnsi(gif->sourcePath);
    return media.fullPath;
}

bool JournalItem::operator==(const JournalItem& other) const
{
    // The task ids inside the clip records are the writing window's own: not part of the item.
    return SameMedia(media, other.media) && controls == other.controls && outputName == other.outputName &&
           thumbnail == other.thumbnail && fileRow == other.fileRow && params == other.params &&
           SameSplit(split, other.split) && SameGif(gif, other.gif) && job == other.job;
}

bool QueueJournal::hasNoItems() const
{
    return itemCount() == 0;
}

size_t QueueJournal::itemCount() const
{
    size_t count = 0;
    for (const JournalPage& page : pages)
        count += page.items.size();
    return count;
}

int QueueJournal::unfinishedCount() const
{
    int count = 0;
    for (const JournalPage& page : pages) {
        for (const JournalItem& item : page.items)
            count += IsUnfinished(item.job) ? 1 : 0;
    }
    return count + (IsUnfinished(page(PageKind::Merge).mergeJob) ? 1 : 0);
}

const char* JournalPageName(PageKind page)
{
    const auto index = static_cast<size_t>(page);
    return index < static_cast<size_t>(kPageCount) ? kPageNames[index] : "";
}

std::optional<PageKind> JournalPageFromName(const QString& name)
{
    for (int i = 0; i < kPageCount; ++i) {
        if (name == QLatin1String(kPageNames[i]))
            return static_cast<PageKind>(i);
    }
    return std::nullopt;
}

const char* JournalStateName(JournalState state)
{
    for (const StateName& entry : kStateNames) {
        if (entry.state == state)
            return entry.name;
    }
    return "";
}

std::optional<JournalState> JournalStateFromName(const QString& name)
{
    for (const StateName& entry : kStateNames) {
        if (name == QLatin1String(entry.name))
            return entry.state;
    }
    return std::nullopt;
}

}  // namespace tolvex
