#include "player/AudioOutput.h"

#include "app/ConsoleLog.h"
#include "player/ConversionPointers.h"
#include "player/MediaReader.h"
#include "player/PlaybackState.h"
#include "player/StreamDecoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/time.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace tolvex {

namespace {

constexpr int kSilenceBytes = 1024;
constexpr Uint16 kCallbackSamples = 2048;
constexpr double kClockResyncDistance = 10.0;
// What av_samples_get_buffer_size gives for one second of 2 channels at 44,100 Hz, signed
// 16-bit: the rate the audio clock assumes for the bytes still queued.
constexpr double kClockBytesPerSecond = 176400.0;

}  // namespace

AudioOutput::~AudioOutput()
{
    close();
}

int AudioOutput::open()
{
    close();
    m_bufferIndex = 0;
    m_bufferSize = 0;
    m_endTime = 0.0;
    m_resetRequested = false;
    if (!m_sdlAudio.start(SDL_INIT_AUDIO))
        return -1;
    const AVCodecContext* context = m_decoder.context();
    SDL_AudioSpec wanted{};
    SDL_AudioSpec obtained{};
    wanted.freq = context->sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(std::clamp(context->ch_layout.nb_channels, 1, 8));
    wanted.silence = 0;
    wanted.samples = kCallbackSamples;
    wanted.callback = &AudioOutput::callback;
    wanted.userdata = this;
    m_buffer.assign(kBufferBytes, 0);
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(
        nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device == 0) {
        ConsoleLog("SDL_OpenAudioDevice error: %s\n", SDL_GetError());
        m_sdlAudio.release();
        return 0;
    }
    m_device = device;
    if (obtained.format != AUDIO_S16SYS) {
        av_log(nullptr, AV_LOG_ERROR, "SDL advised audio format %d is not supported!\n", wanted.format);
        return -1;
    }
    if (obtained.channels != wanted.channels)
        av_log(nullptr, AV_LOG_ERROR, "SDL advised channel count %d is not supported!\n", wanted.channels);
    m_frequency = obtained.freq;
    m_channels = obtained.channels;
    m_deviceBufferBytes = static_cast<int>(obtained.size);
    SDL_PauseAudioDevice(m_device, 0);
    return 0;
}

void AudioOutput::close()
{
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    m_sdlAudio.release();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_resampler.reset();
    av_channel_layout_uninit(&m_resamplerLayout);
}

void SDLCALL AudioOutput::callback(void* user, Uint8* stream, int length)
{
    static_cast<AudioOutput*>(user)->fill(stream, length);
}

void AudioOutput::fill(Uint8* stream, int length)
{
    if (m_playback.quit.isSet()) {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    m_callbackStartTime = av_gettime_relative();
    if (m_resetRequested.exchange(false)) {
        // A seek happened: what is left of the old sound plays as silence, and what the
        // resampler still holds of it goes.
        std::fill(m_buffer.begin(), m_buffer.begin() + m_bufferSize, 0);
        m_bufferIndex = 0;
        m_resampler.reset();
    }
    while (length > 0) {
        if (m_playback.quit.isSet()) {
            std::memset(stream, 0, static_cast<size_t>(length));
            return;
        }
        if (m_bufferIndex >= m_bufferSize) {
            const int bytes = decodeStep();
            if (bytes <= 0) {
                std::memset(m_buffer.data(), 0, kSilenceBytes);
                m_bufferSize = kSilenceBytes;
            } else {
                m_bufferSize = bytes;
            }
            m_bufferIndex = 0;
        }
        const int chunk = std::min(length, m_bufferSize - m_bufferIndex);
        std::memset(stream, 0, static_cast<size_t>(chunk));
        SDL_MixAudioFormat(stream, m_buffer.data() + m_bufferIndex, AUDIO_S16SYS, static_cast<Uint32>(chunk),
                           m_playback.volume);
        length -= chunk;
        stream += chunk;
        m_bufferIndex += chunk;
    }
    setClocks();
}

void AudioOutput::setClocks()
{
    const int unplayed = m_bufferSize - m_bufferIndex;
    const double pts = m_endTime - (2.0 * m_deviceBufferBytes + unplayed) / kClockBytesPerSecond;
    m_playback.audioClock.setAt(pts, static_cast<double>(m_callbackStartTime) / 1000000.0);
    const double audioPts = m_playback.audioClock.pts();
    if (!std::isnan(audioPts)) {
        const double external = m_playback.externalClock.pts();
        if (std::isnan(external) || std::fabs(external - audioPts) > kClockResyncDistance)
            m_playback.externalClock.set(audioPts);
    }
}

SwrContext* AudioOutput::resamplerFor(const AVFrame& frame)
{
    // One resampler while the sound keeps its format; a frame in another one (a stream
    // that changes midway) gets a new resampler.
    if (m_resampler && frame.format == m_resamplerFormat && frame.sample_rate == m_resamplerRate &&
        av_channel_layout_compare(&frame.ch_layout, &m_resamplerLayout) == 0)
        return m_resampler.get();
    m_resampler.reset();
    av_channel_layout_uninit(&m_resamplerLayout);
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, m_channels);
    SwrContext* raw = nullptr;
    // FFmpeg 5.1 takes the input layout without const; it only reads it.
    auto* inLayout = const_cast<AVChannelLayout*>(&frame.ch_layout);
    const int result = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, m_frequency, inLayout,
                                           static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    SwrContextPtr resampler(raw);
    av_channel_layout_uninit(&outLayout);
    if (result < 0 || !resampler || swr_init(resampler.get()) < 0)
        return nullptr;
    if (av_channel_layout_copy(&m_resamplerLayout, &frame.ch_layout) < 0)
        return nullptr;
    m_resamplerFormat = frame.format;
    m_resamplerRate = frame.sample_rate;
    m_resampler = std::move(resampler);
    return m_resampler.get();
}

int AudioOutput::decodeStep()
{
    const bool drainDue = m_reader.atEnd() && !m_decoder.finished();
    if (m_playback.quit.isSet() || (m_decoder.queue().IsEmpty() && !drainDue))
        return 0;
    if (m_playback.paused)
        return -1;
    bool got = false;
    uint64_t seekSerial = 0;
    {
        std::lock_guard lock(m_reader.decoderLock());
        got = m_decoder.receiveFrame(m_reader.atEnd());
        seekSerial = m_playback.seekSerial;
    }
    AVFrame* frame = m_decoder.frame();
    if (!frame)
        return -1;
    // Sound taken out before a seek that came meanwhile is of the old place: it would set
    // the audio clock back there.
    if (!got || seekSerial != m_playback.seekSerial || frame->sample_rate <= 0 || frame->nb_samples <= 0) {
        // No sound this time; the audio clock keeps its last time.
        av_frame_unref(frame);
        return -1;
    }
    const double pts = frame->pts == AV_NOPTS_VALUE
                           ? std::numeric_limits<double>::quiet_NaN()
                           : static_cast<double>(frame->pts) * av_q2d(m_decoder.stream()->time_base);
    m_endTime = pts + static_cast<double>(frame->nb_samples) / frame->sample_rate;

    // A frame that names its channel count but no layout gets the usual layout for it; one
    // that names neither takes the decoder's.
    if (frame->ch_layout.nb_channels > 0 && frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        const int channels = frame->ch_layout.nb_channels;
        av_channel_layout_uninit(&frame->ch_layout);
        av_channel_layout_default(&frame->ch_layout, channels);
    } else if (frame->ch_layout.nb_channels == 0) {
        av_channel_layout_copy(&frame->ch_layout, &m_decoder.context()->ch_layout);
    }

    SwrContext* resampler = resamplerFor(*frame);
    if (!resampler) {
        ConsoleLog("swr set open or swr init error\n");
        av_frame_unref(frame);
        return -1;
    }

    const int bytesPerSample = m_channels * 2;
    int64_t wanted = av_rescale_rnd(swr_get_delay(resampler, frame->sample_rate) + frame->nb_samples, m_frequency,
                                    frame->sample_rate, AV_ROUND_UP);
    // Never past the end of the buffer: a frame longer than the buffer holds is cut.
    wanted = std::min<int64_t>(wanted, kBufferBytes / bytesPerSample);
    uint8_t* out = m_buffer.data();
    const int converted = swr_convert(resampler, &out, static_cast<int>(wanted),
                                      const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    av_frame_unref(frame);
    if (converted < 0)
        return -1;
    return converted * bytesPerSample;
}

}  // namespace tolvex
