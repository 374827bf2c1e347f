#pragma once

// Where a cut that copies the picture can start: the key frame at or before a time. A
// copied picture can only begin with a key frame (every later frame until the next one
// needs it), so a lossless clip starts there rather than at the chosen time. The probe
// seeks near the time and reads packets of the first video track (no frame is decoded),
// a few hundred at most, so it takes milliseconds even deep into a long file.
// Thread use: re-entrant; meant for a worker thread, never the window's.

#include "media/MediaProbe.h"

#include <optional>
#include <string>

namespace tolvex {

// The time in seconds, counted from the file's start as ffmpeg's "-ss" counts it, of the
// last key frame of the first video track whose time is at or before `seconds`; the first
// key frame when there is none before. Nothing when the file has no video track, cannot
// be read, or the probe was interrupted.
std::optional<double> ProbeKeyFrameAtOrBefore(const std::string& path, double seconds, const ProbeLimits& limits = {});

}  // namespace tolvex
