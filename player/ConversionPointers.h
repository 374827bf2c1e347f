#pragma once

// Single owners for the player's picture scaler and sound resampler.

extern "C" {
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace tolvex {

struct SwsContextFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

struct SwrContextFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextFreer>;
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextFreer>;

}  // namespace tolvex
