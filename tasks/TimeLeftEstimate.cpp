#include "tasks/TimeLeftEstimate.h"

#include <algorithm>
#include <cmath>

namespace tolvex {

void TimeLeftEstimate::reset()
{
    *this = TimeLeftEstimate();
}

void TimeLeftEstimate::addSample(int64_t elapsedMs, int64_t positionMs, int64_t durationMs)
{
    if (m_haveSample && elapsedMs < m_lastElapsedMs)
        reset();
    m_durationMs = durationMs;
    // ffmpeg reports negative positions before the first frame.
    positionMs = std::max<int64_t>(positionMs, 0);
    if (!m_haveSample || positionMs < m_lastPositionMs) {
        // The first sample, or not the same run any more: measure afresh from here.
        reset();
        m_haveSample = true;
        m_durationMs = durationMs;
        m_firstElapsedMs = m_lastElapsedMs = elapsedMs;
        m_lastPositionMs = positionMs;
        return;
    }
    const int64_t wallMs = elapsedMs - m_lastElapsedMs;
    if (wallMs <= 0) {
        // Two samples in the same millisecond: the later position counts at the next one.
        return;
    }
    if (!m_settled) {
        // ffmpeg's first moments run well ahead of its pace (frames go into the encoder's
        // queue before any has to come out): the rate is measured from after them.
        m_lastElapsedMs = elapsedMs;
        m_lastPositionMs = positionMs;
        if (elapsedMs - m_firstElapsedMs >= kSettleMs) {
            m_settled = true;
            m_baseElapsedMs = elapsedMs;
            m_basePositionMs = positionMs;
        }
        return;
    }
    const double weight = 1.0 - std::exp(-static_cast<double>(wallMs) / kSmoothingMs);
    if (m_measuredMs == 0 || m_measuredMs + wallMs < kWarmUpMs) {
        m_rate = static_cast<double>(positionMs - m_basePositionMs) / static_cast<double>(elapsedMs - m_baseElapsedMs);
    } else {
        const double rate = static_cast<double>(positionMs - m_lastPositionMs) / static_cast<double>(wallMs);
        m_rate += weight * (rate - m_rate);
    }
    m_measuredMs += wallMs;
    m_lastElapsedMs = elapsedMs;
    m_lastPositionMs = positionMs;
    updateShown(wallMs, weight);
}

void TimeLeftEstimate::updateShown(int64_t wallMs, double weight)
{
    if (m_durationMs <= 0 || m_measuredMs < kWarmUpMs) {
        m_shownMs.reset();
        return;
    }
    const int64_t left = std::max<int64_t>(m_durationMs - m_lastPositionMs, 0);
    const double raw = left == 0 ? 0.0 : static_cast<double>(left) / m_rate;
    if (!(m_rate > 0.0 || left == 0) || !std::isfinite(raw) || raw > static_cast<double>(kLongestMs)) {
        m_shownMs.reset();
        return;
    }
    if (!m_shownMs || left == 0) {
        m_shownMs = raw;
        return;
    }
    // The figure shown counts down with the clock and leans toward the new reading, so a
    // wobbling speed does not make it jump.
    const double counted = std::max(*m_shownMs - static_cast<double>(wallMs), 0.0);
    m_shownMs = counted + weight * (raw - counted);
}

std::optional<int64_t> TimeLeftEstimate::remainingMs() const
{
    if (!m_shownMs)
        return std::nullopt;
    return static_cast<int64_t>(std::llround(*m_shownMs));
}

}  // namespace tolvex
