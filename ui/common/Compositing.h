#pragma once

// Whether the display blends translucent top-level windows with what lies below them.
//
// On X11 that takes a running compositing manager (the owner of the _NET_WM_CM_S<screen>
// selection); without one, the transparent pixels of a translucent window show as black, so
// a drop shadow would paint a dark box over its window. Wayland always composites, and Qt's
// offscreen platform blends in memory.
//
// UI thread only (it talks to the display connection of the application).

namespace tolvex {

bool IsCompositingActive();

}  // namespace tolvex
