#include "media/StreamInventory.h"

namespace tolvex {

int StreamInventory::count(TrackKind kind) const
{
    int n = 0;
    for (const TrackInfo& track : tracks) {
        if (track.kind == kind && !track.coverArt)
            ++n;
    }
    return n;
}

const TrackInfo* StreamInventory::mainVideo() const
{
    for (const TrackInfo& track : tracks) {
        if (track.kind == TrackKind::Video && !track.coverArt)
            return &track;
    }
    return nullptr;
}

std::vector<const TrackInfo*> StreamInventory::ofKind(TrackKind kind) const
{
    std::vector<const TrackInfo*> found;
    for (const TrackInfo& track : tracks) {
        if (track.kind == kind && !track.coverArt)
            found.push_back(&track);
    }
    return found;
}

std::vector<const TrackInfo*> StreamInventory::coverArt() const
{
    std::vector<const TrackInfo*> found;
    for (const TrackInfo& track : tracks) {
        if (track.coverArt)
            found.push_back(&track);
    }
    return found;
}

const TrackInfo* StreamInventory::defaultAudio() const
{
    const TrackInfo* first = nullptr;
    for (const TrackInfo& track : tracks) {
        if (track.kind != TrackKind::Audio)
            continue;
        if (track.isDefault)
            return &track;
        if (!first)
            first = &track;
    }
    return first;
}

}  // namespace tolvex
