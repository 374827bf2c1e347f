#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace tolvex {

// What the preview player needs from the window it draws into: the native window handle
// that SDL adopts, and the size the picture is stretched to. The handle is fixed for the
// surface's life; the display size is read by the player's render thread at every frame,
// so implementations keep it in atomics. A surface tells the player when it was resized or
// exposed (notifyChanged), so that the player's render thread can sleep until then.
//
// Threads: the listener is set and cleared, and called, on the owner's UI thread.
class VideoSurface {
public:
    virtual ~VideoSurface() = default;

    // The X11 window id of the area, or 0 when no real native window exists (for example
    // under a platform plugin without a window system); the player then refuses to open
    // video output.
    virtual std::uintptr_t nativeWindowHandle() const = 0;
    virtual int displayWidth() const = 0;
    virtual int displayHeight() const = 0;

    // The player that draws here; an empty function when none does.
    void setChangeListener(std::function<void()> listener) { m_changeListener = std::move(listener); }

protected:
    // The surface's size changed or it must be drawn again.
    void notifyChanged() const
    {
        if (m_changeListener)
            m_changeListener();
    }

private:
    std::function<void()> m_changeListener;
};

}  // namespace tolvex
