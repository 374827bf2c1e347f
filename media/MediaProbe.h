#pragma once

// The media probe: opens a file with libavformat, lets it analyse the streams, reads the
// stream descriptions and closes the file again. No frame is decoded here.
// Thread use: re-entrant; each call owns its own container context.

#include "media/MediaInfo.h"

#include <cstdint>
#include <string>

struct AVFormatContext;
struct AVStream;

namespace tolvex {

// Fills `info` from the file at info.path. 0 when the file was opened and analysed
// (whatever streams it has), -1 when opening or the stream analysis failed (fields untouched).
int32_t ProbeMediaInfo(MediaInfo& info);

// The playing time of the first video or audio stream in seconds; 0.0 when the file cannot
// be opened, -1.0 when it has neither a video nor an audio stream.
double ProbeDurationSeconds(const std::string& path);

// A stream's duration in microseconds: its duration in its time base, scaled in double
// precision and truncated; the container's duration when that is not representable.
int64_t StreamDurationMicroseconds(const AVFormatContext& container, const AVStream& stream);

// Whether the video stream is marked as rotated: a "rotate" metadata key (any value), or a
// display matrix with a non-zero rotation. Logs the "rotate" key it finds.
bool StreamHasRotation(const AVStream& stream);

}  // namespace tolvex
