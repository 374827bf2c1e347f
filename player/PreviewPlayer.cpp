#include "player/PreviewPlayer.h"

#include "app/ConsoleLog.h"
#include "player/DecoderOptions.h"
#include "player/RenderLock.h"
#include "player/VideoSurface.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/time.h>
}

#include <algorithm>
#include <climits>
#include <cmath>

namespace tolvex {

namespace {

// Microseconds of a stream duration, or INT64_MIN when it is missing or does not fit.
int64_t StreamDurationMicroseconds(const AVStream* stream)
{
    if (stream->duration == AV_NOPTS_VALUE)
        return INT64_MIN;
    const double us = static_cast<double>(stream->duration) * av_q2d(stream->time_base) * 1000000.0;
    if (!std::isfinite(us) || us >= 9.2e18 || us <= -9.2e18)
        return INT64_MIN;
    return static_cast<int64_t>(us);
}

} // namespace

PreviewPlayer::PreviewPlayer(VideoSurface* owner) : m_owner(owner) {}

PreviewPlayer::~PreviewPlayer()
{
    Close();
    Destroy();
}

void PreviewPlayer::SetEndOfMediaCallback(EndOfMediaCallback callback, void* user)
{
    m_endCallback = std::move(callback);
    m_endCallbackUser = user;
}

void PreviewPlayer::SetNotifyAtEnd(bool notify)
{
    m_notifyAtEnd = notify;
}

int PreviewPlayer::Open(const std::string& filePath)
{
    if (m_opened) {
        ConsoleLog("init error\n");
        return -1;
    }
    m_filePath = filePath;
    if (Initialise() != 0) {
        ReleaseMedia();
        ConsoleLog("init error\n");
        return -1;
    }
    m_opened = true;
    StartThreads();
    m_state = StatePlaying;
    return 0;
}

int PreviewPlayer::Initialise()
{
    m_state = StateOpening;
    m_paused = false;
    m_quit = false;
    m_audioBufferIndex = 0;
    m_audioBufferSize = 0;
    m_syncMode = 0;
    m_externalClock.Reset();
    m_audioClock.Reset();
    m_videoClock.Reset();
    m_audioClockTime = 0.0;
    m_lastFramePts = 0.0;
    m_video.index = -1;
    m_audio.index = -1;

    AVFormatContext* format = avformat_alloc_context();
    if (!format) {
        ConsoleLog("avformat_alloc_context error\n");
        return -1;
    }
    if (avformat_open_input(&format, m_filePath.c_str(), nullptr, nullptr) != 0) {
        // avformat_open_input frees the context on failure.
        ConsoleLog("avformat_open_input error\n");
        return -1;
    }
    m_format.reset(format);
    if (avformat_find_stream_info(format, nullptr) < 0) {
        ConsoleLog("Couldn't find stream information.\n");
        return -1;
    }

    // One stream of each kind: the first one in file order. Cover pictures of sound files
    // are not a video stream.
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && !videoStream
            && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            videoStream = stream;
        else if (type == AVMEDIA_TYPE_AUDIO && !audioStream)
            audioStream = stream;
    }

    if (videoStream && OpenVideoStream(videoStream) != 0)
        return -1;
    if (audioStream && OpenAudioStream(audioStream) != 0)
        return -1;
    if (m_audio.index >= 0 && OpenAudioDevice() != 0)
        return -1;
    return 0;
}

int PreviewPlayer::InitSdl(Uint32 subsystems)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (subsystems & SDL_INIT_VIDEO)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    int result = 0;
    {
        // SDL's window-system connection is shared with the other players' render threads.
        std::lock_guard lock(RenderLock());
        result = SDL_InitSubSystem(subsystems);
    }
    if (result != 0) {
        ConsoleLog("Window could not be created! SDL_Error: %s\n", SDL_GetError());
        return -1;
    }
    m_sdlSubsystems |= subsystems;
    return 0;
}

int PreviewPlayer::OpenVideoStream(AVStream* stream)
{
    m_nativeWindow = m_owner ? m_owner->NativeWindowHandle() : 0;
    if (m_nativeWindow == 0) {
        ConsoleLog("Window could not be created! SDL_Error: %s\n",
                    "no native window for the video area");
        return -1;
    }
    if (InitSdl(SDL_INIT_VIDEO) != 0)
        return -1;

    m_video.index = stream->index;
    m_video.stream = stream;
    m_rotation = UprightTurn(stream);
    int64_t us = StreamDurationMicroseconds(stream);
    if (us == INT64_MIN)
        us = m_format->duration == AV_NOPTS_VALUE ? 0 : m_format->duration;
    m_duration = static_cast<double>(us) / 1000000.0;

    m_video.context.reset(avcodec_alloc_context3(nullptr));
    if (!m_video.context)
        return -1;
    if (avcodec_parameters_to_context(m_video.context.get(), stream->codecpar) < 0)
        return -1;
    m_video.context->pkt_timebase = stream->time_base;
    m_video.codec = avcodec_find_decoder(m_video.context->codec_id);
    if (!m_video.codec) {
        ConsoleLog("Video Codec not found.\n");
        return -1;
    }
    DictionaryPtr options = PlayerDecoderOptions(nullptr, m_format.get(), stream, m_video.codec);
    AVDictionary* dict = options.release();
    const int opened = avcodec_open2(m_video.context.get(), m_video.codec, &dict);
    options.reset(dict);
    if (opened < 0) {
        ConsoleLog("Could not open codec.\n");
        return -1;
    }
    m_frameWidth = m_video.context->width;
    m_frameHeight = m_video.context->height;
    m_shownWidth = m_frameWidth;
    m_shownHeight = m_frameHeight;
    m_video.frame = MakeFrame();

    m_scaler.reset(sws_getContext(m_frameWidth, m_frameHeight, m_video.context->pix_fmt,
                                  m_frameWidth, m_frameHeight, AV_PIX_FMT_YUYV422, SWS_BICUBIC,
                                  nullptr, nullptr, nullptr));
    const int bytes = av_image_get_buffer_size(AV_PIX_FMT_YUYV422, m_frameWidth, m_frameHeight, 1);
    if (!m_scaler || bytes <= 0) {
        ConsoleLog("Could not open codec.\n");
        return -1;
    }
    m_convertedFrame = MakeFrame();
    m_convertedBuffer.reset(static_cast<uint8_t*>(av_malloc(static_cast<size_t>(bytes))));
    if (!m_video.frame || !m_convertedFrame || !m_convertedBuffer)
        return -1;
    av_image_fill_arrays(m_convertedFrame->data, m_convertedFrame->linesize, m_convertedBuffer.get(),
                         AV_PIX_FMT_YUYV422, m_frameWidth, m_frameHeight, 1);
    return 0;
}

int PreviewPlayer::OpenAudioStream(AVStream* stream)
{
    m_audio.index = stream->index;
    m_audio.stream = stream;
    if (m_video.index < 0) {
        int64_t us = StreamDurationMicroseconds(stream);
        if (us == INT64_MIN)
            us = m_format->duration == AV_NOPTS_VALUE ? 0 : m_format->duration;
        // A sound-only file reports whole seconds.
        m_duration = static_cast<double>(us / 1000000);
    }
    m_audio.context.reset(avcodec_alloc_context3(nullptr));
    if (!m_audio.context)
        return -1;
    if (avcodec_parameters_to_context(m_audio.context.get(), stream->codecpar) < 0)
        return -1;
    m_audio.context->pkt_timebase = stream->time_base;
    m_audio.codec = avcodec_find_decoder(m_audio.context->codec_id);
    if (!m_audio.codec) {
        ConsoleLog("Audio Codec not found.\n");
        return -1;
    }
    m_audio.frame = MakeFrame();
    if (!m_audio.frame)
        return -1;
    avcodec_open2(m_audio.context.get(), m_audio.codec, nullptr);
    return 0;
}

int PreviewPlayer::OpenAudioDevice()
{
    if (InitSdl(SDL_INIT_AUDIO) != 0)
        return -1;
    SDL_AudioSpec wanted{};
    SDL_AudioSpec obtained{};
    wanted.freq = m_audio.context->sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(std::clamp(m_audio.context->ch_layout.nb_channels, 1, 8));
    wanted.silence = 0;
    wanted.samples = 2048;
    wanted.callback = &PreviewPlayer::AudioCallback;
    wanted.userdata = this;
    m_audioBuffer.assign(kAudioBufferBytes, 0);
    m_audioDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained,
                                        SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (m_audioDevice == 0) {
        // Without a device the sound is left out, so the picture still plays on the
        // external clock instead of waiting behind a full audio queue.
        ConsoleLog("SDL_OpenAudioDevice error: %s\n", SDL_GetError());
        m_audio.index = -1;
        return 0;
    }
    if (obtained.format != AUDIO_S16SYS) {
        av_log(nullptr, AV_LOG_ERROR, "SDL advised audio format %d is not supported!\n", wanted.format);
        return -1;
    }
    if (obtained.channels != wanted.channels)
        av_log(nullptr, AV_LOG_ERROR, "SDL advised channel count %d is not supported!\n", wanted.channels);
    m_audioFrequency = obtained.freq;
    m_audioChannels = obtained.channels;
    m_audioDeviceBufferBytes = static_cast<int>(obtained.size);
    SDL_PauseAudioDevice(m_audioDevice, 0);
    return 0;
}

void PreviewPlayer::StartThreads()
{
    if (m_video.index >= 0) {
        m_timerThreadStarts++;
        m_timerThread = std::thread(&PreviewPlayer::TimerThread, this);
    }
    m_readThreadStarts++;
    m_readThread = std::thread(&PreviewPlayer::ReadThread, this);
    if (m_video.index >= 0) {
        m_renderThreadStarts++;
        m_renderThread = std::thread(&PreviewPlayer::RenderThread, this);
    }
}

void PreviewPlayer::Pause()
{
    if (m_state == StatePaused)
        return;
    m_paused = true;
    SetFramePending(false);
    m_state = StatePaused;
}

void PreviewPlayer::Resume()
{
    if (m_state != StatePaused)
        return;
    m_paused = false;
    SetFramePending(true);
    m_state = StatePlaying;
}

void PreviewPlayer::Seek(double seconds)
{
    if (!m_opened || m_state == StateClosing)
        return;
    const StreamDecoder& reference = m_video.index >= 0 ? m_video : m_audio;
    if (reference.index < 0)
        return;
    const double base = av_q2d(reference.stream->time_base);
    const int64_t timestamp = static_cast<int64_t>(seconds / base);
    {
        std::lock_guard lock(m_decoderLock);
        av_seek_frame(m_format.get(), reference.index, timestamp, AVSEEK_FLAG_BACKWARD);
        m_audioBufferReset = true;
        m_readerAtEnd = false;
        for (StreamDecoder* decoder : {&m_video, &m_audio}) {
            if (decoder->index < 0)
                continue;
            decoder->queue.Flush();
            // A packet held back from before the seek would show a picture of the old place.
            decoder->heldBack.reset();
            decoder->outputPending = false;
            decoder->drainSent = false;
            decoder->finished = false;
            avcodec_flush_buffers(decoder->context.get());
        }
        // From here on the decoders give pictures of the new place only. Marked while the
        // lock is held: a picture the render thread took out just before is still of the
        // old place, and must neither be shown nor set the clocks to where it was.
        m_seekTarget = seconds;
        m_seekPending = true;
        ++m_seekSerial;
    }
    // While paused the render thread shows the first picture decoded after the seek; it
    // waits for the read thread to refill the queue itself, so this thread does not.
    if (m_paused && m_video.index >= 0)
        m_renderEvents.Post(RenderEventQueue::SeekRefresh);
}

void PreviewPlayer::SetVolume(int volume)
{
    m_volume = std::clamp(volume, 0, kMaxVolume);
}

double PreviewPlayer::CurrentPosition() const
{
    const double pts = m_video.index >= 0 ? m_videoClock.Pts() : m_audioClock.Pts();
    return std::isnan(pts) ? 0.0 : pts;
}

double PreviewPlayer::Duration() const
{
    return m_duration;
}

std::string PreviewPlayer::rendererName() const
{
    if (!m_videoOutputReady)
        return {};
    return m_rendererInfo.name ? m_rendererInfo.name : "";
}

void PreviewPlayer::StopThreads()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_renderEvents.Interrupt();
    for (std::thread* thread : {&m_timerThread, &m_readThread, &m_renderThread}) {
        if (thread->joinable())
            thread->join();
    }
}

void PreviewPlayer::Close()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_quit = true;
    }
    m_wake.notify_all();
    const int state = m_state;
    if (state != StatePlaying && state != StatePaused)
        return;
    m_state = StateClosing;
    StopThreads();
    if (m_audioDevice != 0) {
        SDL_CloseAudioDevice(m_audioDevice);
        m_audioDevice = 0;
    }
    ReleaseMedia();
}

void PreviewPlayer::ReleaseMedia()
{
    if (m_audioDevice != 0) {
        SDL_CloseAudioDevice(m_audioDevice);
        m_audioDevice = 0;
    }
    for (StreamDecoder* decoder : {&m_video, &m_audio}) {
        decoder->queue.Flush();
        decoder->heldBack.reset();
        if (decoder->context)
            avcodec_flush_buffers(decoder->context.get());
        decoder->context.reset();
    }
    m_scaler.reset();
    m_format.reset();
    if (m_sdlSubsystems != 0) {
        std::lock_guard lock(RenderLock());
        SDL_QuitSubSystem(m_sdlSubsystems);
        m_sdlSubsystems = 0;
    }
}

void PreviewPlayer::Destroy()
{
    m_convertedBuffer.reset();
    m_convertedFrame.reset();
    m_video.frame.reset();
    m_audio.frame.reset();
    m_video.queue.Flush();
    m_audio.queue.Flush();
    m_audioBuffer.clear();
    m_audioBuffer.shrink_to_fit();
    m_filePath.clear();
}

void PreviewPlayer::SetFramePending(bool pending)
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_framePending = pending;
    }
    if (pending)
        m_wake.notify_all();
}

void PreviewPlayer::SleepUnlessQuit(double seconds)
{
    if (seconds <= 0)
        return;
    std::unique_lock lock(m_wakeMutex);
    m_wake.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return m_quit.load(); });
}

double PreviewPlayer::ToSeconds(int64_t timestamp, AVRational timeBase)
{
    if (timestamp == AV_NOPTS_VALUE)
        return NAN;
    return static_cast<double>(timestamp) * av_q2d(timeBase);
}

bool PreviewPlayer::ReceiveFrame(StreamDecoder& decoder, bool inputEnded)
{
    AVCodecContext* context = decoder.context.get();
    AVFrame* frame = decoder.frame.get();
    int refusedInARow = 0;
    for (;;) {
        if (decoder.outputPending) {
            const int received = avcodec_receive_frame(context, frame);
            if (received >= 0)
                return true;
            if (received == AVERROR_EOF) {
                avcodec_flush_buffers(context);
                decoder.outputPending = false;
                decoder.finished = true;
                return false;
            }
            if (received == AVERROR(EAGAIN))
                decoder.outputPending = false;
        }
        PacketPtr packet = decoder.heldBack ? std::move(decoder.heldBack) : decoder.queue.Pop();
        if (!packet) {
            if (!inputEnded || decoder.drainSent)
                return false;
            // Everything has been read: ask for the frames the decoder still holds back
            // (reordering, frame threads), so the last pictures and sound are played too.
            decoder.drainSent = true;
            avcodec_send_packet(context, nullptr);
            decoder.outputPending = true;
            continue;
        }
        const int sent = avcodec_send_packet(context, packet.get());
        if (sent == AVERROR(EAGAIN)) {
            decoder.heldBack = std::move(packet);
            ConsoleLog("send decode packet error\n");
            // A decoder that neither takes input nor gives output must not hold this
            // thread (and the decoder lock) for ever: try again at the next step.
            if (++refusedInARow >= 2)
                return false;
        } else {
            refusedInARow = 0;
        }
        decoder.outputPending = true;
    }
}

int PreviewPlayer::UprightTurn(const AVStream* stream)
{
    // Phone videos keep their picture on its side with a display matrix saying how far to
    // turn it (counter-clockwise degrees); shown as stored, they would lie on their side.
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t))
        return 0;
    const double degrees = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (!std::isfinite(degrees))
        return 0;
    const long quarters = std::lround(-degrees / 90.0);
    return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}

void PreviewPlayer::CopyUprightLocked(const SDL_Rect& source, int width, int height)
{
    if (m_rotation == 0) {
        const SDL_Rect target{0, 0, width, height};
        SDL_RenderCopy(m_renderer, m_texture, &source, &target);
        return;
    }
    // Turned about the target's centre: a quarter turn needs the target with its sides
    // swapped so that, turned, it fills the area.
    const SDL_Rect target = m_rotation == 180 ? SDL_Rect{0, 0, width, height}
                                              : SDL_Rect{(width - height) / 2, (height - width) / 2, height, width};
    SDL_RenderCopyEx(m_renderer, m_texture, &source, &target, m_rotation, nullptr, SDL_FLIP_NONE);
}

bool PreviewPlayer::PlayedOut(const StreamDecoder& decoder)
{
    return decoder.index < 0 || (decoder.queue.IsEmpty() && decoder.finished);
}

} // namespace tolvex
