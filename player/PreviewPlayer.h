#pragma once

#include "player/AudioOutput.h"
#include "player/FrameTimer.h"
#include "player/MediaReader.h"
#include "player/PlaybackState.h"
#include "player/PlayerStatistics.h"
#include "player/StreamDecoder.h"
#include "player/VideoOutput.h"
#include "player/VideoRefresh.h"

#include <SDL.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace tolvex {

class VideoSurface;

// The preview player of the clip dialogs: demuxes one file, decodes a video frame at the
// moment it is due and audio inside SDL's audio callback, draws into the owner's native
// window through an SDL renderer and plays the sound on an SDL audio device. Audio is the
// master clock; a file without sound runs on the external clock.
//
// It is built of parts the way ffplay is: the reader (read thread and packet queues), one
// decoder per stream, the video output (render thread and SDL picture objects) paced by the
// frame timer with the display step in VideoRefresh, and the audio output (device and
// callback). The player opens and closes them and carries the owner's commands to them.
//
// Threads:
// - the owner's UI thread calls Open, Pause, Resume, Seek, SetVolume, Close and Destroy;
// - the read thread demuxes into the two packet queues and calls the end-of-media
//   callback (so the callback runs on the read thread and must not call Close);
// - the timer thread (video only) paces the refresh events;
// - the render thread (video only) owns the SDL window, renderer and texture and runs the
//   display step;
// - SDL's audio thread runs the audio callback and the audio decode step;
// - any thread (the dialogs' position poll) may call CurrentPosition and Duration and the
//   read-only observers.
// The decoder lock serialises every use of the format context and both decoders; a packet
// queue's lock is only ever taken inside it, never the other way round.
class PreviewPlayer {
public:
    using EndOfMediaCallback = MediaReader::EndOfMediaCallback;

    enum State { StateOpening = 0, StatePlaying = 1, StatePaused = 2, StateClosing = 3 };

    static constexpr int kInitialVolume = 69;
    static constexpr int kMaxVolume = SDL_MIX_MAXVOLUME;
    static constexpr int kAudioBufferBytes = AudioOutput::kBufferBytes;
    static constexpr std::size_t kMaxQueuedPackets = MediaReader::kMaxQueuedPackets;

    explicit PreviewPlayer(VideoSurface* owner);
    ~PreviewPlayer();
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    void SetEndOfMediaCallback(EndOfMediaCallback callback, void* user);
    // The end callback is called only while this is on (the dialogs switch it on).
    void setNotifyAtEnd(bool notify);

    // Opens the file (narrow text) and starts playing at once. 0 on success; -1 after
    // printing "init error" when the file, its decoders or the output cannot be opened.
    int Open(const std::string& filePath);
    void Pause();
    void Resume();
    void Seek(double seconds);
    // SDL mixing volume, 0..128 (values outside are clamped).
    void SetVolume(int volume);
    // The video clock's time when the file has a picture, else the audio clock's; 0 before
    // the first frame.
    double CurrentPosition() const;
    // Seconds; whole seconds for a file without a picture.
    double Duration() const;
    // Stops every thread and the audio device and releases the media. Safe to call twice.
    void Close();
    // Releases what Close leaves (the path); safe at any time after Close.
    void Destroy();
    // Presents the last picture again, for a window system that uncovered part of the
    // area while the player is paused. Any thread.
    void redraw() { m_videoOutput.requestRedraw(); }

    // Read-only observers.
    int state() const { return m_state.load(); }
    int volume() const { return m_playback.volume.load(); }
    bool paused() const { return m_playback.paused.load(); }
    bool hasVideo() const { return m_video.hasStream(); }
    bool hasAudio() const { return m_audio.hasStream(); }
    // The clockwise turn (0, 90, 180, 270) that shows the file's picture upright; the
    // picture is drawn turned.
    int rotation() const { return m_videoOutput.rotation(); }
    int frameWidth() const { return m_videoOutput.frameWidth(); }
    int frameHeight() const { return m_videoOutput.frameHeight(); }
    int shownWidth() const { return m_videoOutput.shownWidth(); }
    int shownHeight() const { return m_videoOutput.shownHeight(); }
    // True once the render thread holds a renderer and a texture.
    bool videoOutputReady() const { return m_videoOutput.ready(); }
    std::string rendererName() const { return m_videoOutput.rendererName(); }
    // Current values (drift + now) of the three clocks; NaN until first set.
    double videoClock() const { return m_playback.videoClock.current(); }
    double audioClock() const { return m_playback.audioClock.current(); }
    double externalClock() const { return m_playback.externalClock.current(); }
    // The device format obtained (0 without sound).
    int audioFrequency() const { return m_audioOutput.frequency(); }
    int audioChannels() const { return m_audioOutput.channels(); }
    // Frames shown and threads started since construction.
    const PlayerStatistics& statistics() const { return m_statistics; }

private:
    int initialise();
    int openVideo(AVStream* stream);
    int openAudio(AVStream* stream);
    void startThreads();
    void stopThreads();
    void releaseMedia();

    VideoSurface* m_owner;
    std::string m_filePath;
    std::atomic<int> m_state{StateOpening};
    bool m_opened = false;
    double m_duration = 0.0;

    PlayerStatistics m_statistics;
    PlaybackState m_playback;
    MediaReader m_reader{m_playback.quit};
    StreamDecoder m_video{m_reader.videoPackets()};
    StreamDecoder m_audio{m_reader.audioPackets()};
    VideoOutput m_videoOutput{m_owner, m_playback.quit, m_statistics};
    FrameTimer m_frameTimer{m_playback, m_videoOutput.events()};
    VideoRefresh m_videoRefresh{m_video, m_audio, m_reader, m_playback, m_frameTimer, m_videoOutput};
    AudioOutput m_audioOutput{m_audio, m_reader, m_playback};
};

}  // namespace tolvex
