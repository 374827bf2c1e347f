#include "player/PlaybackClock.h"

extern "C" {
#include <libavutil/time.h>
}

#include <cmath>

namespace tolvex {

PlaybackClock::PlaybackClock()
{
    reset();
}

double PlaybackClock::now()
{
    return static_cast<double>(av_gettime_relative()) / 1000000.0;
}

void PlaybackClock::set(double pts)
{
    setAt(pts, now());
}

void PlaybackClock::setAt(double pts, double time)
{
    std::lock_guard lock(m_mutex);
    m_pts = pts;
    m_lastUpdated = time;
    m_drift = pts - time;
}

double PlaybackClock::current() const
{
    return currentAt(now());
}

double PlaybackClock::currentAt(double time) const
{
    std::lock_guard lock(m_mutex);
    return m_drift + time;
}

double PlaybackClock::pts() const
{
    std::lock_guard lock(m_mutex);
    return m_pts;
}

double PlaybackClock::lastUpdated() const
{
    std::lock_guard lock(m_mutex);
    return m_lastUpdated;
}

double PlaybackClock::drift() const
{
    std::lock_guard lock(m_mutex);
    return m_drift;
}

void PlaybackClock::reset()
{
    std::lock_guard lock(m_mutex);
    m_pts = NAN;
    m_lastUpdated = NAN;
    m_drift = NAN;
}

}  // namespace tolvex
