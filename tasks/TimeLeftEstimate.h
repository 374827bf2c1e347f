#pragma once

// How long a running job still needs, from its progress samples: how far its output has
// come (position against the duration it will reach) at which wall-clock time since the
// job started. The rate (output time made per wall-clock time, what ffmpeg calls speed)
// is smoothed with an exponential moving average whose weight follows the time between
// samples, and the figure itself counts down with the clock between readings, leaning
// toward each new one by the same weight: a wobbling speed does not make it jump. The
// first second of a run is not measured (ffmpeg starts faster than it goes on), and
// nothing is estimated until the rate was measured over a short warm-up after it. A duration that is not
// known gives no estimate, and neither does a rate so low that the figure would be absurd.
// Pure: no clock of its own, no I/O.
// Thread use: one estimate per job, used by one thread.

#include <cstdint>
#include <optional>

namespace tolvex {

class TimeLeftEstimate {
public:
    // The start of a run that is not measured (it runs faster than the rest).
    static constexpr int64_t kSettleMs = 1000;
    // Wall-clock time the rate must have been measured over before an estimate is given.
    static constexpr int64_t kWarmUpMs = 1000;
    // How quickly the smoothed rate follows a change (the average's time constant).
    static constexpr double kSmoothingMs = 3000.0;
    // Estimates past this are not shown: the job is stalled, not slow.
    static constexpr int64_t kLongestMs = int64_t{100} * 3600 * 1000;

    // One progress sample: `elapsedMs` since the job started, the output's position and the
    // duration it will reach (0 or less: not known). A sample older than the last one
    // starts over (the job was run again); a position that went back starts the rate over.
    void addSample(int64_t elapsedMs, int64_t positionMs, int64_t durationMs);

    // Milliseconds left, or nothing while it cannot be told.
    std::optional<int64_t> remainingMs() const;
    void reset();

private:
    void updateShown(int64_t wallMs, double weight);

    bool m_haveSample = false;
    bool m_settled = false;
    int64_t m_firstElapsedMs = 0;
    int64_t m_lastElapsedMs = 0;
    int64_t m_lastPositionMs = 0;
    int64_t m_durationMs = 0;
    // Where the rate's measurement began: until the warm-up is over the rate is the plain
    // average since then, which the moving average then starts from.
    int64_t m_baseElapsedMs = 0;
    int64_t m_basePositionMs = 0;
    // The smoothed rate and how long it has been measured.
    double m_rate = 0.0;
    int64_t m_measuredMs = 0;
    std::optional<double> m_shownMs;
};

}  // namespace tolvex
