#pragma once

#include "media/AvPointers.h"
#include "player/ConversionPointers.h"
#include "player/RenderEventQueue.h"
#include "player/SdlPointers.h"
#include "player/SdlSubsystem.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace tolvex {

class QuitSignal;
class VideoSurface;
struct PlayerStatistics;

// The picture output of a player: the render thread, which adopts the owner's native window
// as an SDL window with a renderer and a streaming texture, runs the display step on each
// refresh event, and draws the pictures it is handed over the video area (stretched over
// all of it; a picture turned a quarter keeps its aspect between bars: ShownPictureRect).
// It also keeps the window's size in step with the video area and draws the last picture
// again when the window is exposed or resized.
//
// Threads: the owner's UI thread opens, starts, stops and closes it (the SDL video subsystem
// and the scaler are made and freed there). The timer thread and the UI thread's Seek post
// events. The render thread owns the SDL window, renderer and texture from their creation to
// their destruction and alone runs the display step and show(). Any thread may read the
// observers. Every use of SDL's renderer and window system holds the process-wide render
// lock.
class VideoOutput {
public:
    // The display step run on each refresh event; true after a seek made while paused.
    using DisplayStep = std::function<void(bool afterSeek)>;

    VideoOutput(VideoSurface* owner, const QuitSignal& quit, PlayerStatistics& statistics)
        : m_owner(owner), m_quit(quit), m_statistics(statistics)
    {
    }
    ~VideoOutput();
    VideoOutput(const VideoOutput&) = delete;
    VideoOutput& operator=(const VideoOutput&) = delete;

    // Checks for the owner's native window and starts SDL's video subsystem. 0 or -1 after
    // printing why.
    int prepare();
    // Makes the converter from the decoder's pictures to the texture's format (packed YUYV
    // 4:2:2 at the decoder's size); the pictures are drawn turned clockwise by `rotation`
    // degrees (0, 90, 180 or 270). 0 or -1 after printing "Could not open codec.".
    int open(int frameWidth, int frameHeight, AVPixelFormat pixelFormat, int rotation);
    // Starts the render thread.
    void start(DisplayStep displayStep);
    // Interrupts and joins the render thread; the quit signal must be set first.
    void stop();
    // Frees the converter and quits the SDL video subsystem (after stop).
    void close();

    RenderEventQueue& events() { return m_events; }
    // Asks the render thread to draw the last picture again (any thread).
    void requestRedraw() { m_redrawWanted = true; }

    // Render thread: converts `frame` and draws it over the video area.
    void show(const AVFrame* frame);

    int frameWidth() const { return m_frameWidth; }
    int frameHeight() const { return m_frameHeight; }
    int rotation() const { return m_rotation; }
    int shownWidth() const { return m_shownWidth.load(); }
    int shownHeight() const { return m_shownHeight.load(); }
    // True once the render thread holds a renderer and a texture.
    bool ready() const { return m_ready.load(); }
    std::string rendererName() const;

private:
    void run(const DisplayStep& displayStep);
    void createOutput();
    void destroyOutput();
    void pumpWindowEvents();
    void followDisplaySize();
    // Draws the filled texture again; render lock held.
    void presentLocked();
    // Copies the texture into the area (width x height), turned upright; render lock held.
    void copyUprightLocked(int width, int height);
    void takeDisplaySize();

    VideoSurface* m_owner;
    const QuitSignal& m_quit;
    PlayerStatistics& m_statistics;
    std::uintptr_t m_nativeWindow = 0;
    SdlSubsystem m_sdlVideo;

    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_rotation = 0;
    std::atomic<int> m_shownWidth{0};
    std::atomic<int> m_shownHeight{0};
    SwsContextPtr m_scaler;
    FramePtr m_convertedFrame;
    AvBufferPtr m_convertedBuffer;

    // Owned by the render thread.
    SdlWindowPtr m_window;
    SdlRendererPtr m_renderer;
    SdlTexturePtr m_texture;
    SDL_RendererInfo m_rendererInfo{};
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    bool m_textureFilled = false;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_redrawWanted{false};

    RenderEventQueue m_events;
    std::thread m_thread;
};

}  // namespace tolvex
