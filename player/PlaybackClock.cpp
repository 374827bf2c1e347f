#include "player/PlaybackClock.h"

extern "C" {
#include <libavutil/time.h>
}

#include <cmath>

namespace tolvex {

PlaybackClock::PlaybackClock()
{
    Reset();
}

double PlaybackClock::Now()
{
    return static_cast<double>(av_gettime_relative()) / 1000000.0;
}

void PlaybackClock::Set(double pts)
{
    SetAt(pts, Now());
}

void PlaybackClock::SetAt(double pts, double time)
{
    std::lock_guard lock(m_mutex);
    m_pts = pts;
    m_lastUpdated = time;
    m_drift = pts - time;
}

double PlaybackClock::Current() const
{
    return CurrentAt(Now());
}

double PlaybackClock::CurrentAt(double time) const
{
    std::lock_guard lock(m_mutex);
    return m_drift + time;
}

double PlaybackClock::Pts() const
{
    std::lock_guard lock(m_mutex);
    return m_pts;
}

double PlaybackClock::LastUpdated() const
{
    std::lock_guard lock(m_mutex);
    return m_lastUpdated;
}

double PlaybackClock::Drift() const
{
    std::lock_guard lock(m_mutex);
    return m_drift;
}

void PlaybackClock::Reset()
{
    std::lock_guard lock(m_mutex);
    m_pts = NAN;
    m_lastUpdated = NAN;
    m_drift = NAN;
}

} // namespace tolvex
