#pragma once

// How each track of a file is coded, as far as joining files by copying their packets
// cares: files join that way only when every track of each one is coded like the same
// track of the first (same codec, profile, picture size and shape, pixel format, frame
// rate, time base and turn; same sound codec, rate and channels). The probe fills it from
// the stream descriptions; no frame is decoded.
// Thread use: re-entrant; meant for a worker thread, never the window's.

#include "media/MediaProbe.h"
#include "media/StreamInventory.h"

#include <optional>
#include <string>
#include <vector>

namespace tolvex {

struct TrackFormat {
    TrackKind kind = TrackKind::Data;
    std::string codec;    // FFmpeg's codec name: "h264", "aac"
    std::string profile;  // "High", "LC"; empty when the codec has none
    // Picture tracks.
    int width = 0;
    int height = 0;
    std::string aspect;       // the pixels' shape "1:1" (sample aspect ratio)
    std::string pixelFormat;  // "yuv420p"
    std::string frameRate;    // "25/1", "30000/1001"
    std::string timeBase;     // "1/12800"
    int turn = 0;             // clockwise degrees ffmpeg turns the picture upright
    // Sound tracks.
    int sampleRate = 0;
    std::string channelLayout;  // "stereo", "5.1"
};

// The tracks a join copies (pictures that are not cover art, sound, subtitles), in file
// order, and the file's playing time.
struct JoinInput {
    std::vector<TrackFormat> tracks;
    double durationSeconds = 0.0;
};

// Nothing when the file cannot be opened and analysed (or the probe was interrupted).
std::optional<JoinInput> ProbeJoinInput(const std::string& path, const ProbeLimits& limits = {});

}  // namespace tolvex
