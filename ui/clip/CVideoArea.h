#pragma once

#include "player/VideoSurface.h"

#include <QWidget>

#include <atomic>

namespace tolvex {

// The video area of the clip dialogs: a native child window that the preview player's SDL
// renderer draws into. Qt never paints it. The window belongs to this widget and outlives
// any player drawn into it; it must not be re-parented while a player is open on it (that
// would replace the native window under the player).
//
// Lives on the UI thread; DisplayWidth and DisplayHeight are also read by the player's
// render thread, hence the atomics.
class CVideoArea : public QWidget, public VideoSurface {
public:
    explicit CVideoArea(QWidget* parent = nullptr);

    // The X11 window id; 0 when Qt does not run on X11 (xcb), where SDL could not adopt
    // the window. Call on the UI thread: the first call creates the native window.
    std::uintptr_t nativeWindowHandle() const override;
    int displayWidth() const override;
    int displayHeight() const override;

    // Sets the picture width and moves the area to (x, y) with that width and its current
    // height (parent coordinates).
    void SetWidth(int x, int y, int width);
    // The same for the height.
    void SetHeight(int x, int y, int height);

    QPaintEngine* paintEngine() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::atomic<int> m_displayWidth{0};
    std::atomic<int> m_displayHeight{0};
};

}  // namespace tolvex
