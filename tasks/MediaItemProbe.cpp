#include "tasks/MediaItemProbe.h"

#include "app/Helpers.h"
#include "media/MediaProbe.h"

#include <algorithm>

namespace tolvex {

bool ProbeMediaItem(MediaItem& item, const std::atomic<bool>* abort)
{
    bool ranOut = false;
    ProbeLimits limits;
    limits.abort = abort;
    limits.ranOut = &ranOut;
    MediaInfo info(ToNarrowUtf8(item.fullPath));
    if (ProbeMediaInfo(info, limits) != 0) {
        item.duration = 0.0;
        return !ranOut;
    }
    item.duration = info.playSeconds;
    item.width = std::max(0, info.width);
    item.height = std::max(0, info.height);
    item.uprightTurn = info.uprightTurn;
    item.audioTrackCount = info.audioTrackCount;
    item.hasAudio = info.audioTrackCount > 0;
    return true;
}

}  // namespace tolvex
