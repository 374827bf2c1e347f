#pragma once

#include "player/AvPointers.h"
#include "player/PacketQueue.h"
#include "player/PlaybackClock.h"
#include "player/RenderEventQueue.h"

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tolvex {

class VideoSurface;

// The preview player of the clip dialogs: demuxes one file, decodes a video frame at the
// moment it is due and audio inside SDL's audio callback, draws into the owner's native
// window through an SDL renderer and plays the sound on an SDL audio device. Audio is the
// master clock; a file without sound runs on the external clock.
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
    using EndOfMediaCallback = std::function<void(void* user)>;

    enum State { StateOpening = 0, StatePlaying = 1, StatePaused = 2, StateClosing = 3 };

    static constexpr int kInitialVolume = 69;
    static constexpr int kMaxVolume = SDL_MIX_MAXVOLUME;
    static constexpr int kAudioBufferBytes = 288000;
    static constexpr std::size_t kMaxQueuedPackets = 180;

    explicit PreviewPlayer(VideoSurface* owner);
    ~PreviewPlayer();
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    void SetEndOfMediaCallback(EndOfMediaCallback callback, void* user);
    // The end callback is called only while this is on (the dialogs switch it on).
    void SetNotifyAtEnd(bool notify);

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
    // Releases the remaining buffers and frames (after Close).
    void Destroy();
    // Presents the last picture again, for a window system that uncovered part of the
    // area while the player is paused. Any thread.
    void Redraw() { m_redrawWanted = true; }

    // Read-only observers.
    int state() const { return m_state.load(); }
    int volume() const { return m_volume.load(); }
    bool paused() const { return m_paused.load(); }
    bool hasVideo() const { return m_video.index >= 0; }
    // The clockwise turn (0, 90, 180, 270) that shows the file's picture upright; the
    // picture is drawn turned.
    int rotation() const { return m_rotation; }
    bool hasAudio() const { return m_audio.index >= 0; }
    int frameWidth() const { return m_frameWidth; }
    int frameHeight() const { return m_frameHeight; }
    int shownWidth() const { return m_shownWidth.load(); }
    int shownHeight() const { return m_shownHeight.load(); }
    // Frames handed to the renderer since Open.
    long framesShown() const { return m_framesShown.load(); }
    int timerThreadStarts() const { return m_timerThreadStarts.load(); }
    int readThreadStarts() const { return m_readThreadStarts.load(); }
    int renderThreadStarts() const { return m_renderThreadStarts.load(); }
    // True once the render thread holds a renderer and a texture.
    bool videoOutputReady() const { return m_videoOutputReady.load(); }
    std::string rendererName() const;
    // Current values (drift + now) of the three clocks; NaN until first set.
    double videoClock() const { return m_videoClock.Current(); }
    double audioClock() const { return m_audioClock.Current(); }
    double externalClock() const { return m_externalClock.Current(); }
    // The device format obtained (0 without sound).
    int audioFrequency() const { return m_audioFrequency; }
    int audioChannels() const { return m_audioChannels; }

private:
    // One decoded stream: the decoder with its packet queue and the state of the
    // receive-first loop.
    struct StreamDecoder {
        int index = -1;
        AVStream* stream = nullptr;
        CodecContextPtr context;
        const AVCodec* codec = nullptr;
        PacketQueue queue;
        PacketPtr heldBack;
        bool outputPending = false;
        FramePtr frame;
        // End of input: the decoder was asked for its last frames, and gave them all.
        std::atomic<bool> drainSent{false};
        std::atomic<bool> finished{false};
    };

    int Initialise();
    int OpenVideoStream(AVStream* stream);
    int OpenAudioStream(AVStream* stream);
    int OpenAudioDevice();
    int InitSdl(Uint32 subsystems);
    void ReleaseMedia();
    void StartThreads();
    void StopThreads();

    void ReadThread();
    void TimerThread();
    void RenderThread();
    void CreateVideoOutput();
    void DestroyVideoOutput();
    void PumpWindowEvents();
    void FollowDisplaySize();
    void PresentLocked();
    void DisplayStep(bool afterSeek);
    // Tells the timer thread that the frame delay of this step is known.
    void FinishDisplayStep();
    void ShowFrame(AVFrame* frame);
    // Copies the texture over the area (width x height), turned upright; render lock held.
    void CopyUprightLocked(const SDL_Rect& source, int width, int height);
    static int UprightTurn(const AVStream* stream);

    static void SDLCALL AudioCallback(void* user, Uint8* stream, int length);
    void FillAudio(Uint8* stream, int length);
    int AudioDecodeStep();

    // The receive-first decode loop; call with the decoder lock held. Once the file has been
    // read to the end (inputEnded) and the queue is empty, the decoder is drained of the
    // frames it still holds.
    static bool ReceiveFrame(StreamDecoder& decoder, bool inputEnded);
    // True when the stream has nothing more to show: queue empty and decoder drained.
    static bool PlayedOut(const StreamDecoder& decoder);

    void SetFramePending(bool pending);
    // Sleeps up to `seconds`, returning early when the player quits.
    void SleepUnlessQuit(double seconds);
    static double ToSeconds(int64_t timestamp, AVRational timeBase);

    VideoSurface* m_owner;
    std::uintptr_t m_nativeWindow = 0;
    std::string m_filePath;
    std::atomic<int> m_shownWidth{0};
    std::atomic<int> m_shownHeight{0};
    std::atomic<bool> m_quit{false};
    EndOfMediaCallback m_endCallback;
    void* m_endCallbackUser = nullptr;
    std::thread m_timerThread;
    std::thread m_readThread;
    std::thread m_renderThread;
    std::atomic<int> m_volume{kInitialVolume};
    std::atomic<int> m_state{StateOpening};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_framePending{true};
    std::atomic<bool> m_seekPending{false};
    std::atomic<double> m_seekTarget{0.0};
    // Counts the seeks; raised under m_decoderLock once the decoders are flushed, so a
    // picture taken from a decoder under an older count shows the place before a seek.
    std::atomic<uint64_t> m_seekSerial{0};
    bool m_opened = false;

    std::mutex m_decoderLock;
    FormatContextPtr m_format;
    double m_duration = 0.0;

    StreamDecoder m_video;
    SwsContextPtr m_scaler;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_rotation = 0;
    FramePtr m_convertedFrame;
    AvBufferPtr m_convertedBuffer;

    // Owned by the render thread.
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_RendererInfo m_rendererInfo{};
    SDL_Texture* m_texture = nullptr;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    bool m_textureFilled = false;
    std::atomic<bool> m_videoOutputReady{false};
    std::atomic<bool> m_redrawWanted{false};
    RenderEventQueue m_renderEvents;

    SDL_AudioDeviceID m_audioDevice = 0;
    std::atomic<bool> m_notifyAtEnd{false};

    StreamDecoder m_audio;
    int m_audioFrequency = 0;
    int m_audioChannels = 0;
    int m_audioDeviceBufferBytes = 0;
    // Owned by SDL's audio thread once the device runs; Seek asks for a reset through
    // m_audioBufferReset instead of touching it.
    std::vector<uint8_t> m_audioBuffer;
    int m_audioBufferIndex = 0;
    int m_audioBufferSize = 0;
    std::atomic<bool> m_audioBufferReset{false};

    int m_syncMode = 0;
    PlaybackClock m_externalClock;
    int64_t m_callbackStartTime = 0;
    double m_audioClockTime = 0.0; // media time of the end of the last converted audio frame
    PlaybackClock m_audioClock;
    PlaybackClock m_videoClock;
    double m_lastFramePts = 0.0;
    std::atomic<double> m_frameDelay{0.0};
    uint64_t m_displaySteps = 0; // guarded by m_wakeMutex

    Uint32 m_sdlSubsystems = 0;
    std::atomic<bool> m_readerAtEnd{false};

    // Wakes the timer thread and interruptible sleeps.
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;

    std::atomic<long> m_framesShown{0};
    std::atomic<int> m_timerThreadStarts{0};
    std::atomic<int> m_readThreadStarts{0};
    std::atomic<int> m_renderThreadStarts{0};
};

} // namespace tolvex
