#pragma once

#include "player/PlaybackClock.h"
#include "player/QuitSignal.h"

#include <atomic>
#include <cstdint>

namespace tolvex {

// What the parts of one player share while a file plays: the stop request, the pause and
// volume the owner sets, the marks of the last seek and the three clocks. Audio is the
// master clock; a file without sound runs on the external clock.
//
// Threads: the owner's UI thread sets paused and volume and marks seeks; the render thread
// and SDL's audio thread read them and set the clocks; any thread reads the clocks (each
// clock has its own small lock, everything else is atomic).
struct PlaybackState {
    QuitSignal quit;
    std::atomic<bool> paused{false};
    // SDL mixing volume, 0..128.
    std::atomic<int> volume{0};

    // Counts the seeks; raised under the decoder lock once the decoders are flushed, so a
    // picture or sound taken from a decoder under an older count is of the place before a
    // seek. seekPending stays set until the first picture of the new place is shown.
    std::atomic<uint64_t> seekSerial{0};
    std::atomic<bool> seekPending{false};
    std::atomic<double> seekTarget{0.0};

    PlaybackClock audioClock;
    PlaybackClock videoClock;
    PlaybackClock externalClock;
};

}  // namespace tolvex
