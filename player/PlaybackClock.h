#pragma once

#include <mutex>

namespace tolvex {

// One of the player's three clocks (audio, video, external), in seconds. Setting the clock
// to pts at wall-clock time t records pts, t and the drift pts - t; the current value is
// drift + now. A clock that was never set holds NaN.
//
// Set from one thread (render thread or SDL's audio thread), read from the others (the
// render thread's sync step, the owner's position poll): a small lock keeps the three
// values consistent with each other.
class PlaybackClock {
public:
    PlaybackClock();

    // Wall-clock seconds of av_gettime_relative().
    static double now();

    void set(double pts);
    void setAt(double pts, double time);
    // drift + now; NaN when never set.
    double current() const;
    double currentAt(double time) const;
    double pts() const;
    double lastUpdated() const;
    double drift() const;
    // Back to "never set".
    void reset();

private:
    mutable std::mutex m_mutex;
    double m_pts;
    double m_lastUpdated;
    double m_drift;
};

}  // namespace tolvex
