#include "player/VideoOutput.h"

#include "app/ConsoleLog.h"
#include "player/PictureRect.h"
#include "player/PlayerStatistics.h"
#include "player/QuitSignal.h"
#include "player/RenderLock.h"
#include "player/VideoSurface.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <mutex>

namespace tolvex {

namespace {

constexpr int kRenderWaitMs = 20;
constexpr AVPixelFormat kTextureFormat = AV_PIX_FMT_YUYV422;

}  // namespace

VideoOutput::~VideoOutput()
{
    stop();
    close();
}

int VideoOutput::prepare()
{
    m_nativeWindow = m_owner ? m_owner->nativeWindowHandle() : 0;
    if (m_nativeWindow == 0) {
        ConsoleLog("Window could not be created! SDL_Error: %s\n", "no native window for the video area");
        return -1;
    }
    return m_sdlVideo.start(SDL_INIT_VIDEO) ? 0 : -1;
}

int VideoOutput::open(int frameWidth, int frameHeight, AVPixelFormat pixelFormat, int rotation)
{
    m_rotation = rotation;
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_shownWidth = frameWidth;
    m_shownHeight = frameHeight;
    m_scaler.reset(sws_getContext(frameWidth, frameHeight, pixelFormat, frameWidth, frameHeight, kTextureFormat,
                                  SWS_BICUBIC, nullptr, nullptr, nullptr));
    const int bytes = av_image_get_buffer_size(kTextureFormat, frameWidth, frameHeight, 1);
    if (!m_scaler || bytes <= 0) {
        ConsoleLog("Could not open codec.\n");
        return -1;
    }
    m_convertedFrame = MakeFrame();
    m_convertedBuffer.reset(static_cast<uint8_t*>(av_malloc(static_cast<size_t>(bytes))));
    if (!m_convertedFrame || !m_convertedBuffer)
        return -1;
    av_image_fill_arrays(m_convertedFrame->data, m_convertedFrame->linesize, m_convertedBuffer.get(), kTextureFormat,
                         frameWidth, frameHeight, 1);
    return 0;
}

void VideoOutput::start(DisplayStep displayStep)
{
    m_thread = std::thread([this, step = std::move(displayStep)] { run(step); });
}

void VideoOutput::stop()
{
    m_events.interrupt();
    if (m_thread.joinable())
        m_thread.join();
}

void VideoOutput::close()
{
    m_scaler.reset();
    m_convertedFrame.reset();
    m_convertedBuffer.reset();
    m_sdlVideo.release();
}

std::string VideoOutput::rendererName() const
{
    if (!m_ready)
        return {};
    return m_rendererInfo.name ? m_rendererInfo.name : "";
}

void VideoOutput::run(const DisplayStep& displayStep)
{
    createOutput();
    while (!m_quit.isSet()) {
        followDisplaySize();
        RenderEventQueue::Event event;
        const bool got = m_events.wait(kRenderWaitMs, event);
        pumpWindowEvents();
        if (m_redrawWanted.exchange(false)) {
            std::lock_guard lock(RenderLock());
            presentLocked();
        }
        if (!got || m_quit.isSet())
            continue;
        displayStep(event == RenderEventQueue::SeekRefresh);
    }
    destroyOutput();
    ConsoleLog("video_refresh_thread exit....%d\n", m_quit.isSet() ? 1 : 0);
}

void VideoOutput::createOutput()
{
    std::lock_guard lock(RenderLock());
    // SDL takes the X11 window id in a pointer.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    m_window.reset(SDL_CreateWindowFrom(reinterpret_cast<const void*>(m_nativeWindow)));
    if (!m_window) {
        ConsoleLog("SDL_CreateWindowFrom error: %s\n", SDL_GetError());
        return;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "1");
    m_renderer.reset(SDL_CreateRenderer(m_window.get(), -1, 0));
    if (!m_renderer) {
        ConsoleLog("SDL_CreateRenderer error: %s\n", SDL_GetError());
        return;
    }
    SDL_GetRendererInfo(m_renderer.get(), &m_rendererInfo);
    m_texture.reset(SDL_CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_YUY2, SDL_TEXTUREACCESS_STREAMING, m_frameWidth,
                                      m_frameHeight));
    if (!m_texture) {
        ConsoleLog("SDL_CreateTexture error: %s\n", SDL_GetError());
        return;
    }
    SDL_GetWindowSize(m_window.get(), &m_windowWidth, &m_windowHeight);
    SDL_PumpEvents();
    m_ready = true;
}

void VideoOutput::destroyOutput()
{
    std::lock_guard lock(RenderLock());
    m_ready = false;
    // The texture belongs to the renderer and the renderer to the window: freed in that order.
    m_texture.reset();
    m_renderer.reset();
    m_window.reset();
    m_textureFilled = false;
}

void VideoOutput::pumpWindowEvents()
{
    if (!m_window)
        return;
    std::lock_guard lock(RenderLock());
    SDL_PumpEvents();
    // SDL's queue is process-wide and nobody else reads it: take everything, act on what
    // concerns this player's window (a re-present when it is exposed or resized) and drop
    // the rest. A quit request from SDL is not ours to act on: the owner closes the player.
    const Uint32 windowId = SDL_GetWindowID(m_window.get());
    SDL_Event events[16];
    bool present = false;
    int count = 0;
    while ((count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        for (int i = 0; i < count; ++i) {
            const SDL_Event& e = events[i];
            if (e.type == SDL_WINDOWEVENT && e.window.windowID == windowId &&
                (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_RESIZED ||
                 e.window.event == SDL_WINDOWEVENT_EXPOSED))
                present = true;
        }
    }
    if (present)
        presentLocked();
}

void VideoOutput::followDisplaySize()
{
    if (!m_window || !m_owner)
        return;
    const int width = m_owner->displayWidth();
    const int height = m_owner->displayHeight();
    if (width <= 0 || height <= 0 || (width == m_windowWidth && height == m_windowHeight))
        return;
    std::lock_guard lock(RenderLock());
    // SDL does not see the toolkit's resizes of the adopted window.
    SDL_SetWindowSize(m_window.get(), width, height);
    m_windowWidth = width;
    m_windowHeight = height;
    presentLocked();
}

void VideoOutput::takeDisplaySize()
{
    if (m_owner) {
        m_shownWidth = m_owner->displayWidth();
        m_shownHeight = m_owner->displayHeight();
    }
}

void VideoOutput::presentLocked()
{
    if (!m_renderer || !m_texture || !m_textureFilled)
        return;
    // The last picture again, stretched to the area as it is now.
    takeDisplaySize();
    SDL_RenderClear(m_renderer.get());
    copyUprightLocked(m_shownWidth, m_shownHeight);
    SDL_RenderPresent(m_renderer.get());
}

void VideoOutput::copyUprightLocked(int width, int height)
{
    const SDL_Rect source{0, 0, m_frameWidth, m_frameHeight};
    const PictureRect shown = ShownPictureRect(width, height, m_frameWidth, m_frameHeight, m_rotation);
    if (m_rotation == 0) {
        const SDL_Rect target{shown.x, shown.y, shown.width, shown.height};
        SDL_RenderCopy(m_renderer.get(), m_texture.get(), &source, &target);
        return;
    }
    // Turned about the target's centre: a quarter turn needs the target with its sides
    // swapped so that, turned, it covers the picture's rectangle.
    const SDL_Rect target = m_rotation == 180
                                ? SDL_Rect{shown.x, shown.y, shown.width, shown.height}
                                : SDL_Rect{shown.x + (shown.width - shown.height) / 2,
                                           shown.y + (shown.height - shown.width) / 2, shown.height, shown.width};
    SDL_RenderCopyEx(m_renderer.get(), m_texture.get(), &source, &target, m_rotation, nullptr, SDL_FLIP_NONE);
}

void VideoOutput::show(const AVFrame* frame)
{
    // A stream may change its picture size or format midway: convert from what the frame
    // really holds, always into the texture's size.
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame->width, frame->height,
                                        static_cast<AVPixelFormat>(frame->format), m_frameWidth, m_frameHeight,
                                        kTextureFormat, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_scaler)
        return;
    sws_scale(m_scaler.get(), frame->data, frame->linesize, 0, frame->height, m_convertedFrame->data,
              m_convertedFrame->linesize);
    takeDisplaySize();
    m_statistics.framesShown++;
    if (!m_renderer || !m_texture)
        return;
    std::lock_guard lock(RenderLock());
    SDL_UpdateTexture(m_texture.get(), nullptr, m_convertedFrame->data[0], m_convertedFrame->linesize[0]);
    m_textureFilled = true;
    if (SDL_RenderClear(m_renderer.get()) < 0)
        ConsoleLog("sdlRenderer error\n");
    copyUprightLocked(m_shownWidth, m_shownHeight);
    SDL_RenderPresent(m_renderer.get());
}

}  // namespace tolvex
