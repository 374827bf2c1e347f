#include "ui/framework/WindowStyle.h"

namespace tolvex {

Qt::WindowFlags WindowFlagsForStyle(uint32_t style, uint32_t exStyle, bool skinCaption)
{
    Qt::WindowFlags flags = (exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    if (exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;

    const bool captioned = (style & WS_CAPTION) == WS_CAPTION;
    if (skinCaption || !captioned) {
        // The skin (or nothing, for a bare pop-up) draws the frame; keep the task bar's
        // minimise/restore working for windows that have the boxes.
        flags |= Qt::FramelessWindowHint;
        if (style & WS_MINIMIZEBOX)
            flags |= Qt::WindowMinimizeButtonHint;
        if (style & WS_MAXIMIZEBOX)
            flags |= Qt::WindowMaximizeButtonHint;
        return flags;
    }

    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

}  // namespace tolvex
