// The preview player's threads: reading, refresh pacing, rendering, and the audio callback.

#include "player/PreviewPlayer.h"

#include "app/ConsoleLog.h"
#include "player/RenderLock.h"
#include "player/VideoSurface.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/time.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tolvex {

namespace {

constexpr double kReadRetryAtEnd = 0.040;
constexpr double kReadWaitWhenFull = 0.020;
constexpr int kRenderWaitMs = 20;
constexpr double kMaxFrameDelay = 0.1;
constexpr double kDefaultFrameDelay = 0.04;
constexpr double kNoFrameRetryDelay = 0.01;
// The longest the timer thread waits for the display step of the refresh it sent.
constexpr double kDisplayStepWait = 0.2;
constexpr double kSyncThresholdMin = 0.04;
constexpr double kSyncThresholdMax = 0.1;
constexpr double kFrameDupThreshold = 0.1;
constexpr double kNoSyncThreshold = 3600.0;
constexpr double kClockResyncDistance = 10.0;
constexpr int kSilenceBytes = 1024;
// What av_samples_get_buffer_size gives for one second of 2 channels at 44,100 Hz, signed
// 16-bit: the rate the audio clock assumes for the bytes still queued.
constexpr double kAudioClockBytesPerSecond = 176400.0;
// How long the first picture after a seek made while paused may wait for packets.
constexpr int kSeekRefreshTries = 100;
constexpr double kSeekRefreshRetry = 0.010;

} // namespace

// ---------------------------------------------------------------------------------------
// Read thread

void PreviewPlayer::ReadThread()
{
    while (!m_quit) {
        if (m_video.queue.Size() >= kMaxQueuedPackets || m_audio.queue.Size() >= kMaxQueuedPackets) {
            SleepUnlessQuit(kReadWaitWhenFull);
            continue;
        }
        PacketPtr packet = MakePacket();
        if (!packet)
            break;
        std::unique_lock lock(m_decoderLock);
        const int read = av_read_frame(m_format.get(), packet.get());
        if (read >= 0) {
            m_readerAtEnd = false;
            // Queued while the decoder lock is still held, so a Seek cannot slip in between
            // and leave a packet of the old place behind in a freshly flushed queue.
            if (packet->stream_index == m_video.index)
                m_video.queue.Push(std::move(packet));
            else if (packet->stream_index == m_audio.index)
                m_audio.queue.Push(std::move(packet));
            continue;
        }
        const bool ioError = m_format->pb && m_format->pb->error != 0;
        if (!ioError)
            m_readerAtEnd = true;
        lock.unlock();
        packet.reset();
        if (ioError)
            break;
        ConsoleLog("读取完毕, 等待结束\n");
        // The end is reached once both queues are empty and both decoders have given
        // their last frames.
        if (PlayedOut(m_video) && PlayedOut(m_audio)) {
            ConsoleLog("queue is empty\n");
            if (m_notifyAtEnd && m_endCallback)
                m_endCallback(m_endCallbackUser);
        }
        SleepUnlessQuit(kReadRetryAtEnd);
    }
    ConsoleLog("video_read_thread exit....\n");
}

// ---------------------------------------------------------------------------------------
// Timer thread: one refresh per frame delay while playing.

void PreviewPlayer::TimerThread()
{
    std::unique_lock lock(m_wakeMutex);
    while (!m_quit) {
        m_wake.wait(lock, [this] { return m_quit || m_framePending; });
        if (m_quit)
            break;
        m_framePending = false;
        if (m_paused)
            continue;
        const uint64_t step = m_displaySteps;
        const double pushed = PlaybackClock::Now();
        m_renderEvents.Post(RenderEventQueue::Refresh);
        // The wait before the next refresh is the delay the display step works out for the
        // frame it is showing now; waiting for that step keeps the pacing one frame behind
        // the clocks at most, so a correction is not applied twice and the sync settles
        // instead of swinging.
        m_wake.wait_for(lock, std::chrono::duration<double>(kDisplayStepWait),
                        [this, step] { return m_quit || m_displaySteps != step; });
        double delay = m_frameDelay;
        if (delay > 0) {
            if (delay > kMaxFrameDelay) {
                delay = kMaxFrameDelay;
                m_frameDelay = delay;
            }
            const double remaining = delay - (PlaybackClock::Now() - pushed);
            if (remaining > 0)
                m_wake.wait_for(lock, std::chrono::duration<double>(remaining), [this] { return m_quit.load(); });
        }
    }
    lock.unlock();
    ConsoleLog("init_thread exit....\n");
}

// ---------------------------------------------------------------------------------------
// Render thread

void PreviewPlayer::RenderThread()
{
    CreateVideoOutput();
    while (!m_quit) {
        FollowDisplaySize();
        RenderEventQueue::Event event;
        const bool got = m_renderEvents.Wait(kRenderWaitMs, event);
        PumpWindowEvents();
        if (m_redrawWanted.exchange(false)) {
            std::lock_guard lock(RenderLock());
            PresentLocked();
        }
        if (!got || m_quit)
            continue;
        DisplayStep(event == RenderEventQueue::SeekRefresh);
    }
    DestroyVideoOutput();
    ConsoleLog("video_refresh_thread exit....%d\n", m_quit ? 1 : 0);
}

void PreviewPlayer::CreateVideoOutput()
{
    std::lock_guard lock(RenderLock());
    m_window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(m_nativeWindow));
    if (!m_window) {
        ConsoleLog("SDL_CreateWindowFrom error: %s\n", SDL_GetError());
        return;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "1");
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (!m_renderer) {
        ConsoleLog("SDL_CreateRenderer error: %s\n", SDL_GetError());
        return;
    }
    SDL_GetRendererInfo(m_renderer, &m_rendererInfo);
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_YUY2, SDL_TEXTUREACCESS_STREAMING,
                                  m_frameWidth, m_frameHeight);
    if (!m_texture) {
        ConsoleLog("SDL_CreateTexture error: %s\n", SDL_GetError());
        return;
    }
    SDL_GetWindowSize(m_window, &m_windowWidth, &m_windowHeight);
    SDL_PumpEvents();
    m_videoOutputReady = true;
}

void PreviewPlayer::DestroyVideoOutput()
{
    std::lock_guard lock(RenderLock());
    m_videoOutputReady = false;
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
    // The native window itself belongs to the video area and stays.
    if (m_window)
        SDL_DestroyWindow(m_window);
    m_texture = nullptr;
    m_renderer = nullptr;
    m_window = nullptr;
}

void PreviewPlayer::PumpWindowEvents()
{
    if (!m_window)
        return;
    std::lock_guard lock(RenderLock());
    SDL_PumpEvents();
    // SDL's queue is process-wide and nobody else reads it: take everything, act on what
    // concerns this player's window (a re-present when it is exposed or resized) and drop
    // the rest. A quit request from SDL is not ours to act on: the owner closes the player.
    const Uint32 windowId = SDL_GetWindowID(m_window);
    SDL_Event events[16];
    bool present = false;
    int count = 0;
    while ((count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        for (int i = 0; i < count; ++i) {
            const SDL_Event& e = events[i];
            if (e.type == SDL_WINDOWEVENT && e.window.windowID == windowId
                && (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_RESIZED
                    || e.window.event == SDL_WINDOWEVENT_EXPOSED))
                present = true;
        }
    }
    if (present)
        PresentLocked();
}

void PreviewPlayer::FollowDisplaySize()
{
    if (!m_window || !m_owner)
        return;
    const int width = m_owner->DisplayWidth();
    const int height = m_owner->DisplayHeight();
    if (width <= 0 || height <= 0 || (width == m_windowWidth && height == m_windowHeight))
        return;
    std::lock_guard lock(RenderLock());
    // SDL does not see the toolkit's resizes of the adopted window.
    SDL_SetWindowSize(m_window, width, height);
    m_windowWidth = width;
    m_windowHeight = height;
    PresentLocked();
}

void PreviewPlayer::PresentLocked()
{
    if (!m_renderer || !m_texture || !m_textureFilled)
        return;
    // The last picture again, stretched to the area as it is now.
    if (m_owner) {
        m_shownWidth = m_owner->DisplayWidth();
        m_shownHeight = m_owner->DisplayHeight();
    }
    const SDL_Rect source{0, 0, m_frameWidth, m_frameHeight};
    const SDL_Rect target{0, 0, m_shownWidth.load(), m_shownHeight.load()};
    SDL_RenderClear(m_renderer);
    CopyUprightLocked(source, target.w, target.h);
    SDL_RenderPresent(m_renderer);
}

void PreviewPlayer::DisplayStep(bool afterSeek)
{
    SetFramePending(true);
    const bool drainDue = m_readerAtEnd && !m_video.finished;
    if (!afterSeek && m_video.queue.IsEmpty() && !drainDue) {
        // Nothing to show (start-up, end of file): look again a little later instead of
        // spinning the timer and render threads on a delay that may be 0.
        m_frameDelay = kNoFrameRetryDelay;
        FinishDisplayStep();
        return;
    }

    bool got = false;
    uint64_t seekSerial = 0;
    for (int tries = 0;; ++tries) {
        {
            std::lock_guard lock(m_decoderLock);
            got = ReceiveFrame(m_video, m_readerAtEnd);
            seekSerial = m_seekSerial;
        }
        // After a seek made while paused the queue may still be refilling: wait for the
        // first picture of the new place unless the file has nothing more to give.
        if (got || !afterSeek || m_quit || m_readerAtEnd || tries >= kSeekRefreshTries)
            break;
        SleepUnlessQuit(kSeekRefreshRetry);
    }
    // A picture taken out before a seek that came meanwhile is of the old place: shown, it
    // would set the clocks back there and the new place's pictures would rush to catch up.
    // Decided under the lock a seek marks itself under, together with taking the seek's
    // pending mark, so the mark goes to the first picture of the new place.
    AVFrame* frame = m_video.frame.get();
    double pts = std::numeric_limits<double>::quiet_NaN();
    bool stale = false;
    bool firstAfterSeek = false;
    if (got) {
        // The picture is timed by the decode time stamp of its packet.
        frame->pts = frame->pkt_dts;
        pts = ToSeconds(frame->pts, m_video.stream->time_base);
        std::lock_guard lock(m_decoderLock);
        stale = seekSerial != m_seekSerial;
        if (!stale && !std::isnan(pts) && m_seekPending) {
            m_seekPending = false;
            firstAfterSeek = true;
        }
    }
    if (!got || stale) {
        // No picture to show: the clocks stay as they are.
        av_frame_unref(frame);
        m_frameDelay = kNoFrameRetryDelay;
        FinishDisplayStep();
        return;
    }

    double delay = kDefaultFrameDelay;
    if (!std::isnan(pts)) {
        const double last = firstAfterSeek ? pts : m_lastFramePts;
        delay = pts - last;
        if (delay < 0.000001)
            delay = kDefaultFrameDelay;
    }

    const double reference = m_audio.index >= 0 ? m_audioClock.Current() : m_externalClock.Current();
    const double diff = m_videoClock.Current() - reference;
    const double threshold = std::max(kSyncThresholdMin, std::min(delay, kSyncThresholdMax));
    if (!std::isnan(diff) && std::fabs(diff) < kNoSyncThreshold) {
        if (diff <= -threshold)
            delay = std::max(0.0, delay + diff);
        else if (diff >= threshold)
            delay = delay > kFrameDupThreshold ? delay + diff : 2 * delay;
    }
    m_frameDelay = delay;
    FinishDisplayStep();

    if (seekSerial != m_seekSerial) {
        // A seek came while this step ran.
        av_frame_unref(frame);
        return;
    }
    if (!std::isnan(pts)) {
        m_videoClock.Set(pts);
        const double external = m_externalClock.Pts();
        // After a seek the external clock jumps with the picture, so a file without sound
        // does not crawl or rush until the old clock catches up with the new place.
        if (firstAfterSeek || std::isnan(external) || std::fabs(external - pts) > kClockResyncDistance)
            m_externalClock.Set(pts);
        m_lastFramePts = pts;
    }

    ShowFrame(frame);
    av_frame_unref(frame);
}

void PreviewPlayer::FinishDisplayStep()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_displaySteps++;
    }
    m_wake.notify_all();
}

void PreviewPlayer::ShowFrame(AVFrame* frame)
{
    // A stream may change its picture size or format midway: convert from what the frame
    // really holds, always into the texture's size.
    SwsContext* scaler = sws_getCachedContext(m_scaler.release(), frame->width, frame->height,
                                              static_cast<AVPixelFormat>(frame->format), m_frameWidth,
                                              m_frameHeight, AV_PIX_FMT_YUYV422, SWS_BICUBIC, nullptr,
                                              nullptr, nullptr);
    m_scaler.reset(scaler);
    if (!scaler)
        return;
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, m_convertedFrame->data,
              m_convertedFrame->linesize);
    if (m_owner) {
        m_shownWidth = m_owner->DisplayWidth();
        m_shownHeight = m_owner->DisplayHeight();
    }
    m_framesShown++;
    if (!m_renderer || !m_texture)
        return;
    const SDL_Rect source{0, 0, m_frameWidth, m_frameHeight};
    const SDL_Rect target{0, 0, m_shownWidth.load(), m_shownHeight.load()};
    std::lock_guard lock(RenderLock());
    SDL_UpdateTexture(m_texture, nullptr, m_convertedFrame->data[0], m_convertedFrame->linesize[0]);
    m_textureFilled = true;
    if (SDL_RenderClear(m_renderer) < 0)
        ConsoleLog("sdlRenderer error\n");
    CopyUprightLocked(source, target.w, target.h);
    SDL_RenderPresent(m_renderer);
}

// ---------------------------------------------------------------------------------------
// Audio

void SDLCALL PreviewPlayer::AudioCallback(void* user, Uint8* stream, int length)
{
    static_cast<PreviewPlayer*>(user)->FillAudio(stream, length);
}

void PreviewPlayer::FillAudio(Uint8* stream, int length)
{
    if (m_quit) {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    m_callbackStartTime = av_gettime_relative();
    if (m_audioBufferReset.exchange(false)) {
        // A seek happened: what is left of the old sound plays as silence.
        std::fill(m_audioBuffer.begin(), m_audioBuffer.begin() + m_audioBufferSize, 0);
        m_audioBufferIndex = 0;
    }
    while (length > 0) {
        if (m_quit) {
            std::memset(stream, 0, static_cast<size_t>(length));
            return;
        }
        if (m_audioBufferIndex >= m_audioBufferSize) {
            const int bytes = AudioDecodeStep();
            if (bytes <= 0) {
                std::memset(m_audioBuffer.data(), 0, kSilenceBytes);
                m_audioBufferSize = kSilenceBytes;
            } else {
                m_audioBufferSize = bytes;
            }
            m_audioBufferIndex = 0;
        }
        const int chunk = std::min(length, m_audioBufferSize - m_audioBufferIndex);
        std::memset(stream, 0, static_cast<size_t>(chunk));
        SDL_MixAudioFormat(stream, m_audioBuffer.data() + m_audioBufferIndex, AUDIO_S16SYS,
                           static_cast<Uint32>(chunk), m_volume);
        length -= chunk;
        stream += chunk;
        m_audioBufferIndex += chunk;
    }

    const int unplayed = m_audioBufferSize - m_audioBufferIndex;
    const double pts = m_audioClockTime - (2.0 * m_audioDeviceBufferBytes + unplayed) / kAudioClockBytesPerSecond;
    m_audioClock.SetAt(pts, static_cast<double>(m_callbackStartTime) / 1000000.0);
    const double audioPts = m_audioClock.Pts();
    if (!std::isnan(audioPts)) {
        const double external = m_externalClock.Pts();
        if (std::isnan(external) || std::fabs(external - audioPts) > kClockResyncDistance)
            m_externalClock.Set(audioPts);
    }
}

int PreviewPlayer::AudioDecodeStep()
{
    const bool drainDue = m_readerAtEnd && !m_audio.finished;
    if (m_quit || (m_audio.queue.IsEmpty() && !drainDue))
        return 0;
    if (m_paused)
        return -1;
    bool got = false;
    uint64_t seekSerial = 0;
    {
        std::lock_guard lock(m_decoderLock);
        got = ReceiveFrame(m_audio, m_readerAtEnd);
        seekSerial = m_seekSerial;
    }
    AVFrame* frame = m_audio.frame.get();
    // Sound taken out before a seek that came meanwhile is of the old place: it would set
    // the audio clock back there.
    if (!got || seekSerial != m_seekSerial || frame->sample_rate <= 0 || frame->nb_samples <= 0) {
        // No sound this time; the audio clock keeps its last time.
        av_frame_unref(frame);
        return -1;
    }
    const double pts = ToSeconds(frame->pts, m_audio.stream->time_base);
    m_audioClockTime = pts + static_cast<double>(frame->nb_samples) / frame->sample_rate;

    // A frame that names its channel count but no layout gets the usual layout for it; one
    // that names neither takes the decoder's.
    if (frame->ch_layout.nb_channels > 0 && frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        const int channels = frame->ch_layout.nb_channels;
        av_channel_layout_uninit(&frame->ch_layout);
        av_channel_layout_default(&frame->ch_layout, channels);
    } else if (frame->ch_layout.nb_channels == 0) {
        av_channel_layout_copy(&frame->ch_layout, &m_audio.context->ch_layout);
    }

    // A resampler made for this one frame, from its own format to the device's.
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, m_audioChannels);
    SwrContext* raw = nullptr;
    int result = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, m_audioFrequency, &frame->ch_layout,
                                     static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
    SwrContextPtr resampler(raw);
    av_channel_layout_uninit(&outLayout);
    if (result < 0 || !resampler || swr_init(resampler.get()) < 0) {
        ConsoleLog("swr set open or swr init error\n");
        av_frame_unref(frame);
        return -1;
    }

    const int bytesPerSample = m_audioChannels * 2;
    int64_t wanted = av_rescale_rnd(swr_get_delay(resampler.get(), frame->sample_rate) + frame->nb_samples,
                                    m_audioFrequency, frame->sample_rate, AV_ROUND_UP);
    // Never past the end of the buffer: a frame longer than the buffer holds is cut.
    const int64_t capacity = kAudioBufferBytes / bytesPerSample;
    wanted = std::min(wanted, capacity);
    uint8_t* out = m_audioBuffer.data();
    const int converted = swr_convert(resampler.get(), &out, static_cast<int>(wanted),
                                      const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    av_frame_unref(frame);
    if (converted < 0)
        return -1;
    return converted * bytesPerSample;
}

} // namespace tolvex
