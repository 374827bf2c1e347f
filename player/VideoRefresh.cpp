#include "player/VideoRefresh.h"

#include "player/FrameTimer.h"
#include "player/MediaReader.h"
#include "player/PlaybackState.h"
#include "player/StreamDecoder.h"
#include "player/VideoOutput.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace tolvex {

namespace {

constexpr double kDefaultFrameDelay = 0.04;
constexpr double kNoFrameRetryDelay = 0.01;
// Once the last picture is shown only a seek brings more: looked for less often.
constexpr double kPlayedOutRetryDelay = 0.1;
constexpr double kSyncThresholdMin = 0.04;
constexpr double kSyncThresholdMax = 0.1;
constexpr double kFrameDupThreshold = 0.1;
constexpr double kNoSyncThreshold = 3600.0;
constexpr double kClockResyncDistance = 10.0;
// How long the first picture after a seek made while paused may wait for packets.
constexpr int kSeekRefreshTries = 100;
constexpr double kSeekRefreshRetry = 0.010;

double ToSeconds(int64_t timestamp, AVRational timeBase)
{
    if (timestamp == AV_NOPTS_VALUE)
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(timestamp) * av_q2d(timeBase);
}

}  // namespace

void VideoRefresh::step(bool afterSeek)
{
    m_timer.setFramePending(true);
    const bool drainDue = m_reader.atEnd() && !m_video.finished();
    if (!afterSeek && m_video.queue().IsEmpty() && !drainDue) {
        // Nothing to show (start-up, end of file): look again a little later instead of
        // spinning the timer and render threads on a delay that may be 0.
        const bool playedOut = m_reader.atEnd() && m_video.finished();
        m_timer.finishDisplayStep(playedOut ? kPlayedOutRetryDelay : kNoFrameRetryDelay);
        return;
    }

    bool got = false;
    uint64_t seekSerial = 0;
    for (int tries = 0;; ++tries) {
        {
            std::lock_guard lock(m_reader.decoderLock());
            got = m_video.receiveFrame(m_reader.atEnd());
            seekSerial = m_playback.seekSerial;
        }
        // After a seek made while paused the queue may still be refilling: wait for the
        // first picture of the new place unless the file has nothing more to give.
        if (got || !afterSeek || m_playback.quit.isSet() || m_reader.atEnd() || tries >= kSeekRefreshTries)
            break;
        m_playback.quit.sleepFor(kSeekRefreshRetry);
    }
    // A picture taken out before a seek that came meanwhile is of the old place: shown, it
    // would set the clocks back there and the new place's pictures would rush to catch up.
    // Decided under the lock a seek marks itself under, together with taking the seek's
    // pending mark, so the mark goes to the first picture of the new place.
    AVFrame* frame = m_video.frame();
    double pts = std::numeric_limits<double>::quiet_NaN();
    bool stale = false;
    bool firstAfterSeek = false;
    if (got) {
        // The picture is timed by the decode time stamp of its packet.
        frame->pts = frame->pkt_dts;
        pts = ToSeconds(frame->pts, m_video.stream()->time_base);
        std::lock_guard lock(m_reader.decoderLock());
        stale = seekSerial != m_playback.seekSerial;
        if (!stale && !std::isnan(pts) && m_playback.seekPending) {
            m_playback.seekPending = false;
            firstAfterSeek = true;
        }
    }
    if (!got || stale) {
        // No picture to show: the clocks stay as they are.
        if (frame)
            av_frame_unref(frame);
        m_timer.finishDisplayStep(kNoFrameRetryDelay);
        return;
    }

    m_timer.finishDisplayStep(frameDelayFor(pts, firstAfterSeek));

    if (seekSerial != m_playback.seekSerial) {
        // A seek came while this step ran.
        av_frame_unref(frame);
        return;
    }
    if (!std::isnan(pts)) {
        m_playback.videoClock.set(pts);
        const double external = m_playback.externalClock.pts();
        // After a seek the external clock jumps with the picture, so a file without sound
        // does not crawl or rush until the old clock catches up with the new place.
        if (firstAfterSeek || std::isnan(external) || std::fabs(external - pts) > kClockResyncDistance)
            m_playback.externalClock.set(pts);
        m_lastFramePts = pts;
    }

    m_output.show(frame);
    av_frame_unref(frame);
}

double VideoRefresh::frameDelayFor(double pts, bool firstAfterSeek) const
{
    double delay = kDefaultFrameDelay;
    if (!std::isnan(pts)) {
        const double last = firstAfterSeek ? pts : m_lastFramePts;
        delay = pts - last;
        if (delay < 0.000001)
            delay = kDefaultFrameDelay;
    }

    const PlaybackClock& master = m_audio.hasStream() ? m_playback.audioClock : m_playback.externalClock;
    return correctedDelay(delay, m_playback.videoClock.current() - master.current());
}

double VideoRefresh::correctedDelay(double delay, double diff)
{
    const double threshold = std::max(kSyncThresholdMin, std::min(delay, kSyncThresholdMax));
    if (!std::isnan(diff) && std::fabs(diff) < kNoSyncThreshold) {
        if (diff <= -threshold)
            delay = std::max(0.0, delay + diff);
        else if (diff >= threshold)
            delay = delay > kFrameDupThreshold ? delay + diff : 2 * delay;
    }
    return delay;
}

}  // namespace tolvex
