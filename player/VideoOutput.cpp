#include "player/VideoOutput.h"

#include "app/ConsoleLog.h"
#include "player/PictureRect.h"
#include "player/PlayerStatistics.h"
#include "player/QuitSignal.h"
#include "player/RenderLock.h"
#include "player/VideoSurface.h"

#include <mutex>

namespace tolvex {

namespace {

// The picture's planes into the texture, as SDL takes each layout.
int UploadPicture(SDL_Texture* texture, Uint32 format, const AVFrame& picture)
{
    if (format == SDL_PIXELFORMAT_IYUV)
        return SDL_UpdateYUVTexture(texture, nullptr, picture.data[0], picture.linesize[0], picture.data[1],
                                    picture.linesize[1], picture.data[2], picture.linesize[2]);
    if (format == SDL_PIXELFORMAT_NV12 || format == SDL_PIXELFORMAT_NV21)
        return SDL_UpdateNVTexture(texture, nullptr, picture.data[0], picture.linesize[0], picture.data[1],
                                   picture.linesize[1]);
    return SDL_UpdateTexture(texture, nullptr, picture.data[0], picture.linesize[0]);
}

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
    m_pixelFormat = pixelFormat;
    m_shownWidth = frameWidth;
    m_shownHeight = frameHeight;
    if (frameWidth <= 0 || frameHeight <= 0 ||
        ChooseTextureFormat(pixelFormat, {}).sdlFormat == SDL_PIXELFORMAT_UNKNOWN) {
        ConsoleLog("Could not open codec.\n");
        return -1;
    }
    return 0;
}

void VideoOutput::start(DisplayStep displayStep)
{
    // A resize or an exposure of the area wakes the render thread, which then follows the
    // area's size and draws the last picture again.
    if (m_owner) {
        m_owner->setChangeListener([this] { requestRedraw(); });
        m_listening = true;
    }
    m_thread = std::thread([this, step = std::move(displayStep)] { run(step); });
}

void VideoOutput::stop()
{
    if (m_listening) {
        m_owner->setChangeListener({});
        m_listening = false;
    }
    m_events.interrupt();
    if (m_thread.joinable())
        m_thread.join();
}

void VideoOutput::close()
{
    m_sdlVideo.release();
}

void VideoOutput::requestRedraw()
{
    m_redrawWanted = true;
    m_events.wake();
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
        RenderEventQueue::Event event;
        const bool got = m_events.wait(event);
        const bool resized = followDisplaySize();
        const bool exposed = pumpWindowEvents();
        if (m_redrawWanted.exchange(false) || resized || exposed) {
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
    m_rendererFormats.assign(m_rendererInfo.texture_formats,
                             m_rendererInfo.texture_formats + m_rendererInfo.num_texture_formats);
    // The texture for the decoder's pictures; the first picture of another layout or size
    // makes it anew.
    if (!fitTextureLocked(ChooseTextureFormat(m_pixelFormat, m_rendererFormats), m_frameWidth, m_frameHeight))
        return;
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
    m_textureFormat = {};
    m_converter.reset();
    m_convertedFrame.reset();
}

bool VideoOutput::pumpWindowEvents()
{
    if (!m_window)
        return false;
    std::lock_guard lock(RenderLock());
    SDL_PumpEvents();
    // SDL's queue is process-wide and nobody else reads it: take everything, act on what
    // concerns this player's window (it is exposed or resized: drawn again) and drop the
    // rest. A quit request from SDL is not ours to act on: the owner closes the player.
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
    return present;
}

bool VideoOutput::followDisplaySize()
{
    if (!m_window || !m_owner)
        return false;
    const int width = m_owner->displayWidth();
    const int height = m_owner->displayHeight();
    if (width <= 0 || height <= 0 || (width == m_windowWidth && height == m_windowHeight))
        return false;
    std::lock_guard lock(RenderLock());
    // SDL does not see the toolkit's resizes of the adopted window.
    SDL_SetWindowSize(m_window.get(), width, height);
    m_windowWidth = width;
    m_windowHeight = height;
    return true;
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
    SDL_SetYUVConversionMode(m_yuvMode);
    SDL_RenderClear(m_renderer.get());
    copyUprightLocked(m_shownWidth, m_shownHeight);
    SDL_RenderPresent(m_renderer.get());
}

void VideoOutput::copyUprightLocked(int width, int height)
{
    const PictureRect shown = ShownPictureRect(width, height, m_frameWidth, m_frameHeight, m_rotation);
    if (m_rotation == 0) {
        const SDL_Rect target{shown.x, shown.y, shown.width, shown.height};
        SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, &target);
        return;
    }
    // Turned about the target's centre: a quarter turn needs the target with its sides
    // swapped so that, turned, it covers the picture's rectangle.
    const SDL_Rect target = m_rotation == 180
                                ? SDL_Rect{shown.x, shown.y, shown.width, shown.height}
                                : SDL_Rect{shown.x + (shown.width - shown.height) / 2,
                                           shown.y + (shown.height - shown.width) / 2, shown.height, shown.width};
    SDL_RenderCopyEx(m_renderer.get(), m_texture.get(), nullptr, &target, m_rotation, nullptr, SDL_FLIP_NONE);
}

const AVFrame* VideoOutput::uploadable(const AVFrame* frame, const TextureFormat& format)
{
    if (format.convertTo == AV_PIX_FMT_NONE)
        return frame;
    // Same size, other layout. The converter and the picture buffer stay from frame to
    // frame; a stream that changes its size or layout midway gets new ones.
    m_converter.reset(sws_getCachedContext(m_converter.release(), frame->width, frame->height,
                                           static_cast<AVPixelFormat>(frame->format), frame->width, frame->height,
                                           format.convertTo, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_converter)
        return nullptr;
    AVFrame* converted = m_convertedFrame.get();
    if (!converted || converted->width != frame->width || converted->height != frame->height ||
        converted->format != format.convertTo) {
        m_convertedFrame = MakeFrame();
        converted = m_convertedFrame.get();
        if (!converted)
            return nullptr;
        converted->width = frame->width;
        converted->height = frame->height;
        converted->format = format.convertTo;
        if (av_frame_get_buffer(converted, 0) < 0) {
            m_convertedFrame.reset();
            return nullptr;
        }
    }
    sws_scale(m_converter.get(), frame->data, frame->linesize, 0, frame->height, converted->data, converted->linesize);
    return converted;
}

bool VideoOutput::fitTextureLocked(const TextureFormat& format, int width, int height)
{
    if (m_texture && format.sdlFormat == m_textureFormat.sdlFormat && width == m_textureWidth &&
        height == m_textureHeight)
        return true;
    m_texture.reset();
    m_textureFilled = false;
    if (format.sdlFormat == SDL_PIXELFORMAT_UNKNOWN || width <= 0 || height <= 0)
        return false;
    m_texture.reset(SDL_CreateTexture(m_renderer.get(), format.sdlFormat, SDL_TEXTUREACCESS_STREAMING, width, height));
    if (!m_texture) {
        ConsoleLog("SDL_CreateTexture error: %s\n", SDL_GetError());
        m_textureFormat = {};
        return false;
    }
    SDL_SetTextureBlendMode(m_texture.get(), format.blendMode);
    m_textureFormat = format;
    m_textureWidth = width;
    m_textureHeight = height;
    return true;
}

void VideoOutput::show(const AVFrame* frame)
{
    takeDisplaySize();
    m_statistics.framesShown++;
    if (!m_renderer)
        return;
    const TextureFormat format = ChooseTextureFormat(static_cast<AVPixelFormat>(frame->format), m_rendererFormats);
    if (format.sdlFormat == SDL_PIXELFORMAT_UNKNOWN)
        return;
    const AVFrame* picture = uploadable(frame, format);
    if (!picture)
        return;
    std::lock_guard lock(RenderLock());
    if (!fitTextureLocked(format, picture->width, picture->height))
        return;
    if (UploadPicture(m_texture.get(), format.sdlFormat, *picture) < 0) {
        ConsoleLog("SDL_UpdateTexture error: %s\n", SDL_GetError());
        return;
    }
    m_textureFilled = true;
    // SDL's YUV matrix is one setting for the whole process, read when the texture is drawn:
    // set for this picture under the render lock that every player draws under.
    m_yuvMode = YuvConversionMode(*frame, format);
    SDL_SetYUVConversionMode(m_yuvMode);
    if (SDL_RenderClear(m_renderer.get()) < 0)
        ConsoleLog("sdlRenderer error\n");
    copyUprightLocked(m_shownWidth, m_shownHeight);
    SDL_RenderPresent(m_renderer.get());
}

}  // namespace tolvex
