#pragma once

// Every track, chapter and file tag of a media file, as the jobs need to know them to keep
// what the user's file carries: the probe fills it, the command builders read it. Holds
// no FFmpeg object.

#include <cstdint>
#include <string>
#include <vector>

namespace tolvex {

enum class TrackKind { Video, Audio, Subtitle, Attachment, Data };

struct TrackInfo {
    int index = 0;  // the stream's number in the file ("0:<index>" on ffmpeg's command line)
    TrackKind kind = TrackKind::Data;
    std::string codec;     // FFmpeg's codec name ("aac", "subrip", "dvd_subtitle", "ttf")
    std::string language;  // "eng", empty when not set
    std::string title;
    bool isDefault = false;
    bool isForced = false;
    bool coverArt = false;         // a still picture attached to the file, not a video track
    bool pictureSubtitle = false;  // a subtitle made of bitmaps (DVD, Blu-ray, DVB)
};

struct ChapterInfo {
    double startSeconds = 0.0;
    double endSeconds = 0.0;
    std::string title;
};

struct StreamInventory {
    std::vector<TrackInfo> tracks;
    std::vector<ChapterInfo> chapters;
    // File tags that ffmpeg leaves out of its output unless told to copy the file's tags:
    // the recording date and the writing program's name.
    bool hasDroppedTags = false;
    // Tags an mp4 or mov output writes only as QuickTime metadata keys: the place, make and
    // model of phones ("com.apple.quicktime.*", "com.android.*", "make", "model").
    bool hasQuickTimeKeys = false;

    int count(TrackKind kind) const;
    // The first real video track (not cover art); null when there is none.
    const TrackInfo* mainVideo() const;
    std::vector<const TrackInfo*> ofKind(TrackKind kind) const;
    std::vector<const TrackInfo*> coverArt() const;
    // The sound track a player starts with: the first marked default, else the first one.
    const TrackInfo* defaultAudio() const;
};

}  // namespace tolvex
