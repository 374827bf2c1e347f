#include "player/PreviewPlayer.h"

#include "app/ConsoleLog.h"
#include "media/MediaProbe.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace tolvex {

namespace {

// Far beyond the end of any file, still within a 64-bit time stamp.
constexpr double kLatestTimestamp = 4.0e18;

}  // namespace

PreviewPlayer::PreviewPlayer(VideoSurface* owner) : m_owner(owner)
{
    m_playback.volume = kInitialVolume;
}

PreviewPlayer::~PreviewPlayer()
{
    Close();
    Destroy();
}

void PreviewPlayer::SetEndOfMediaCallback(EndOfMediaCallback callback, void* user)
{
    m_reader.setEndOfMediaCallback(std::move(callback), user);
}

void PreviewPlayer::setNotifyAtEnd(bool notify)
{
    m_reader.setNotifyAtEnd(notify);
}

int PreviewPlayer::Open(const std::string& filePath)
{
    if (m_opened) {
        ConsoleLog("init error\n");
        return -1;
    }
    m_filePath = filePath;
    if (initialise() != 0) {
        releaseMedia();
        m_video.disable();
        m_audio.disable();
        ConsoleLog("init error\n");
        return -1;
    }
    m_opened = true;
    startThreads();
    m_state = StatePlaying;
    return 0;
}

int PreviewPlayer::initialise()
{
    m_state = StateOpening;
    m_playback.paused = false;
    m_playback.quit.clear();
    m_playback.externalClock.reset();
    m_playback.audioClock.reset();
    m_playback.videoClock.reset();
    m_videoRefresh.reset();
    m_video.disable();
    m_audio.disable();

    if (m_reader.open(m_filePath) != 0)
        return -1;
    AVFormatContext* format = m_reader.format();

    // One stream of each kind: the first one in file order. Cover pictures of sound files
    // are not a video stream.
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && !videoStream && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            videoStream = stream;
        else if (type == AVMEDIA_TYPE_AUDIO && !audioStream)
            audioStream = stream;
    }

    if (videoStream && openVideo(videoStream) != 0)
        return -1;
    if (audioStream && openAudio(audioStream) != 0)
        return -1;
    return 0;
}

int PreviewPlayer::openVideo(AVStream* stream)
{
    if (m_videoOutput.prepare() != 0)
        return -1;
    m_duration = static_cast<double>(StreamDurationMicroseconds(*m_reader.format(), *stream)) / 1000000.0;
    if (m_video.open(m_reader.format(), stream, StreamDecoder::Options::Player) != 0)
        return -1;
    const AVCodecContext* context = m_video.context();
    return m_videoOutput.open(context->width, context->height, context->pix_fmt, StreamUprightTurn(*stream));
}

int PreviewPlayer::openAudio(AVStream* stream)
{
    if (!m_video.hasStream()) {
        // A sound-only file reports whole seconds.
        const int64_t wholeSeconds = StreamDurationMicroseconds(*m_reader.format(), *stream) / 1000000;
        m_duration = static_cast<double>(wholeSeconds);
    }
    if (m_audio.open(m_reader.format(), stream, StreamDecoder::Options::None) != 0) {
        // Sound that cannot be decoded is left out; the picture still plays, on the
        // external clock.
        m_audio.disable();
        return 0;
    }
    if (m_audioOutput.open() != 0)
        return -1;
    // Without a device the sound is left out too, so the picture plays on the external
    // clock instead of waiting behind a full audio queue.
    if (!m_audioOutput.isOpen())
        m_audio.disable();
    return 0;
}

void PreviewPlayer::startThreads()
{
    if (m_video.hasStream()) {
        m_statistics.timerThreadStarts++;
        m_frameTimer.start();
    }
    m_statistics.readThreadStarts++;
    m_reader.start(m_video, m_audio);
    if (m_video.hasStream()) {
        m_statistics.renderThreadStarts++;
        m_videoOutput.start([this](bool afterSeek) { m_videoRefresh.step(afterSeek); });
    }
}

void PreviewPlayer::Pause()
{
    if (m_state == StatePaused)
        return;
    m_playback.paused = true;
    m_frameTimer.setFramePending(false);
    m_state = StatePaused;
}

void PreviewPlayer::Resume()
{
    if (m_state != StatePaused)
        return;
    m_playback.paused = false;
    m_frameTimer.setFramePending(true);
    m_state = StatePlaying;
}

void PreviewPlayer::Seek(double seconds)
{
    if (!m_opened || m_state == StateClosing)
        return;
    const StreamDecoder& reference = m_video.hasStream() ? m_video : m_audio;
    if (!reference.hasStream())
        return;
    if (std::isnan(seconds))
        return;
    // Before the start means the start, past the end the end (the seek then goes to the
    // last key frame); either way the target stays a number a time stamp holds.
    seconds = std::max(seconds, 0.0);
    const int64_t containerDuration = m_reader.format()->duration;
    if (containerDuration != AV_NOPTS_VALUE && containerDuration > 0)
        seconds = std::min(seconds, static_cast<double>(containerDuration) / AV_TIME_BASE);
    const double stamp = std::min(seconds / av_q2d(reference.stream()->time_base), kLatestTimestamp);
    const int64_t timestamp = static_cast<int64_t>(stamp);
    {
        std::lock_guard lock(m_reader.decoderLock());
        m_reader.seekLocked(reference.index(), timestamp);
        m_audioOutput.requestReset();
        for (StreamDecoder* decoder : {&m_video, &m_audio}) {
            if (decoder->hasStream())
                decoder->flush();
        }
        // From here on the decoders give pictures of the new place only. Marked while the
        // lock is held: a picture the render thread took out just before is still of the
        // old place, and must neither be shown nor set the clocks to where it was.
        m_playback.seekTarget = seconds;
        m_playback.seekPending = true;
        ++m_playback.seekSerial;
    }
    // While paused the render thread shows the first picture decoded after the seek; it
    // waits for the read thread to refill the queue itself, so this thread does not.
    if (m_playback.paused && m_video.hasStream())
        m_videoOutput.events().post(RenderEventQueue::SeekRefresh);
}

void PreviewPlayer::SetVolume(int volume)
{
    m_playback.volume = std::clamp(volume, 0, kMaxVolume);
}

double PreviewPlayer::CurrentPosition() const
{
    const double pts = m_video.hasStream() ? m_playback.videoClock.pts() : m_playback.audioClock.pts();
    return std::isnan(pts) ? 0.0 : pts;
}

double PreviewPlayer::Duration() const
{
    return m_duration;
}

void PreviewPlayer::stopThreads()
{
    m_playback.quit.set();
    m_frameTimer.stop();
    m_reader.stop();
    m_videoOutput.stop();
}

void PreviewPlayer::Close()
{
    m_playback.quit.set();
    const int state = m_state;
    if (state != StatePlaying && state != StatePaused)
        return;
    m_state = StateClosing;
    stopThreads();
    releaseMedia();
}

void PreviewPlayer::releaseMedia()
{
    // The device first: once it is closed no callback decodes any more.
    m_audioOutput.close();
    m_video.release();
    m_audio.release();
    m_videoOutput.close();
    m_reader.close();
}

void PreviewPlayer::Destroy()
{
    m_filePath.clear();
}

}  // namespace tolvex
