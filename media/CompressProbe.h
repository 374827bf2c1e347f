#pragma once

// What a compress job needs to know about its input: the exact duration, the picture the
// ffmpeg program will pick (its size and frame rate) and the sound it will pick (rate,
// channels and bit rate). Containers that store no bit rate for the sound (Matroska) get
// it measured from the packets of the first seconds.
// Thread use: any thread; each call opens its own demuxer.

#include "media/CompressBudget.h"

#include <optional>
#include <string>

namespace tolvex {

// Empty when the file cannot be opened or read within the probe's deadline.
std::optional<CompressSource> ProbeCompressSource(const std::string& path);

}  // namespace tolvex
