#pragma once

// The encoders a compress job uses for an output extension, what they and the container
// cost (measured with this ffmpeg on generated media) and the frame-rate mode the
// container's muxer implies. Both passes of a two-pass encode must agree on that mode:
// the first pass writes to ffmpeg's null muxer, which would otherwise pass frames through
// unchanged while an mp4 output duplicates or drops them to a constant rate.
// Thread use: pure given an EncoderSupport; safe from any thread.

#include "media/CompressBudget.h"
#include "media/EncoderSupport.h"

#include <string>

namespace tolvex {

struct CompressFormat {
    CompressProfile profile;
    std::string fpsMode;  // "cfr" or "vfr"
};

// `extension` without its dot, any case ("mp4", "MKV").
CompressFormat CompressFormatFor(const std::string& extension, const EncoderSupport& encoders);

// The container's own bytes for an output extension.
ContainerCost ContainerCostFor(const std::string& extension);

}  // namespace tolvex
