#pragma once

// What a compress job needs to know about its input: the exact duration, the picture the
// ffmpeg program will pick (its size and frame rate) and the sound it will pick (rate,
// channels and bit rate). Containers that store no bit rate for the sound (Matroska) get
// it measured from the packets of the first seconds.
// Thread use: any thread; each call opens its own demuxer. It gives up when the limits'
// time has passed or their abort flag is set.

#include "media/CompressBudget.h"
#include "media/MediaProbe.h"

#include <optional>
#include <string>

namespace tolvex {

// Empty when the file cannot be opened or read within the limits' time, or is not a plain
// file (the media probe's own rules).
std::optional<CompressSource> ProbeCompressSource(const std::string& path, const ProbeLimits& limits = {});

}  // namespace tolvex
