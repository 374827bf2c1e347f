#pragma once

#include "player/ConversionPointers.h"
#include "player/SdlSubsystem.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace tolvex {

class MediaReader;
class StreamDecoder;
struct PlaybackState;

// The sound output of a player: the SDL audio device and its callback. The callback runs on
// SDL's audio thread; when its buffer is used up it decodes the next sound frame, converts
// it to the device's format (signed 16-bit at the device's rate and channel count, with one
// resampler kept while the sound's format stays) and mixes it at the player's volume, then
// sets the audio clock. Paused, between frames or after a
// failure it plays silence; the device is never stopped while the file is open.
//
// Threads: the owner's UI thread opens and closes the device and asks for a buffer reset
// after a seek (requestReset, taken up by the next callback). The buffer, the resampling
// and the audio clock's time belong to SDL's audio thread while the device is open.
class AudioOutput {
public:
    static constexpr int kBufferBytes = 288000;

    AudioOutput(StreamDecoder& decoder, MediaReader& reader, PlaybackState& playback)
        : m_decoder(decoder), m_reader(reader), m_playback(playback)
    {
    }
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Starts SDL's audio subsystem and opens the default device for the decoder's format,
    // then lets it play. -1 after printing why when SDL cannot start or gives another sample
    // format; 0 otherwise, also when no device could be opened (isOpen() then says so).
    int open();
    // Closes the device (its callback has returned when this does) and quits the subsystem.
    void close();
    bool isOpen() const { return m_device != 0; }

    // After a seek: what is left of the old sound plays as silence.
    void requestReset() { m_resetRequested = true; }

    // The device format obtained (0 without a device).
    int frequency() const { return m_frequency; }
    int channels() const { return m_channels; }

private:
    static void SDLCALL callback(void* user, Uint8* stream, int length);
    void fill(Uint8* stream, int length);
    // Decodes and converts one frame into the buffer: its size in bytes, 0 when there is
    // nothing to decode, -1 when paused or nothing came of it.
    int decodeStep();
    void setClocks();
    // The resampler from the format of `frame` to the device's; null when none can be made.
    SwrContext* resamplerFor(const AVFrame& frame);

    StreamDecoder& m_decoder;
    MediaReader& m_reader;
    PlaybackState& m_playback;
    SdlSubsystem m_sdlAudio;
    SDL_AudioDeviceID m_device = 0;
    int m_frequency = 0;
    int m_channels = 0;
    int m_deviceBufferBytes = 0;
    std::atomic<bool> m_resetRequested{false};

    // SDL's audio thread.
    std::vector<uint8_t> m_buffer;
    int m_bufferIndex = 0;
    int m_bufferSize = 0;
    int64_t m_callbackStartTime = 0;
    double m_endTime = 0.0;  // media time of the end of the last converted frame
    SwrContextPtr m_resampler;
    int m_resamplerFormat = -1;
    int m_resamplerRate = 0;
    AVChannelLayout m_resamplerLayout{};
};

}  // namespace tolvex
