#pragma once

#include "media/AvPointers.h"
#include "player/ConversionPointers.h"
#include "player/RenderEventQueue.h"
#include "player/SdlPointers.h"
#include "player/SdlSubsystem.h"
#include "player/TextureFormat.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tolvex {

class QuitSignal;
class VideoSurface;
struct PlayerStatistics;

// The picture output of a player: the render thread, which adopts the owner's native window
// as an SDL window with a renderer and a streaming texture, runs the display step on each
// refresh event, and draws the pictures it is handed over the video area (stretched over
// all of it; a picture turned a quarter keeps its aspect between bars: ShownPictureRect).
// A picture goes into the texture as the decoder made it when SDL takes its layout (planar
// YUV 4:2:0, NV12, ...: ChooseTextureFormat); only other layouts are converted first, by one
// converter and one picture buffer kept from frame to frame. The texture follows the
// pictures' layout and size and is made anew only when they change. It also keeps the
// window's size in step with the video area and draws the last picture again when the area
// is resized or exposed. Between those and the refresh events the render thread sleeps.
//
// Threads: the owner's UI thread opens, starts, stops and closes it (the SDL video subsystem
// is started and quit there). The timer thread and the UI thread's Seek post events; the
// owner's surface reports its changes on the UI thread. The render thread owns the SDL
// window, renderer, texture and the converter from their creation to their destruction and
// alone runs the display step and show(). Any thread may read the observers. Every use of
// SDL's renderer and window system holds the process-wide render lock.
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
    // Takes the decoder's picture size and layout; the pictures are drawn turned clockwise by
    // `rotation` degrees (0, 90, 180 or 270). 0, or -1 after printing "Could not open
    // codec." when pictures of that layout cannot be shown.
    int open(int frameWidth, int frameHeight, AVPixelFormat pixelFormat, int rotation);
    // Starts the render thread and follows the owner's changes.
    void start(DisplayStep displayStep);
    // Interrupts and joins the render thread; the quit signal must be set first.
    void stop();
    // Quits the SDL video subsystem (after stop).
    void close();

    RenderEventQueue& events() { return m_events; }
    // Asks the render thread to draw the last picture again (any thread).
    void requestRedraw();

    // Render thread: draws `frame` over the video area.
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
    // Takes SDL's window events; true when this window was exposed or resized.
    bool pumpWindowEvents();
    // Gives the SDL window the area's size; true when it changed.
    bool followDisplaySize();
    // Draws the filled texture again; render lock held.
    void presentLocked();
    // Copies the texture into the area (width x height), turned upright; render lock held.
    void copyUprightLocked(int width, int height);
    void takeDisplaySize();
    // The picture as the texture takes it: `frame` itself, or its conversion.
    const AVFrame* uploadable(const AVFrame* frame, const TextureFormat& format);
    // Makes the texture anew when the pictures' layout or size changed; render lock held.
    bool fitTextureLocked(const TextureFormat& format, int width, int height);

    VideoSurface* m_owner;
    const QuitSignal& m_quit;
    PlayerStatistics& m_statistics;
    std::uintptr_t m_nativeWindow = 0;
    SdlSubsystem m_sdlVideo;

    int m_frameWidth = 0;
    int m_frameHeight = 0;
    AVPixelFormat m_pixelFormat = AV_PIX_FMT_NONE;
    int m_rotation = 0;
    std::atomic<int> m_shownWidth{0};
    std::atomic<int> m_shownHeight{0};

    // Owned by the render thread.
    SdlWindowPtr m_window;
    SdlRendererPtr m_renderer;
    SdlTexturePtr m_texture;
    SDL_RendererInfo m_rendererInfo{};
    std::vector<Uint32> m_rendererFormats;
    TextureFormat m_textureFormat;
    int m_textureWidth = 0;
    int m_textureHeight = 0;
    // How the renderer turns the texture's YUV picture into colour.
    SDL_YUV_CONVERSION_MODE m_yuvMode = SDL_YUV_CONVERSION_AUTOMATIC;
    SwsContextPtr m_converter;
    FramePtr m_convertedFrame;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    bool m_textureFilled = false;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_redrawWanted{false};

    RenderEventQueue m_events;
    bool m_listening = false;  // to the owner's changes; UI thread
    std::thread m_thread;
};

}  // namespace tolvex
