#pragma once

// Window style bits as the window descriptions give them, and how they map to Qt window
// flags. Windows whose skin draws its own caption are frameless whatever the style says:
// the skin's header then carries the title and the window buttons.

#include <Qt>

#include <cstdint>

namespace tolvex {

constexpr uint32_t WS_OVERLAPPED = 0x00000000u;
constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_CHILD = 0x40000000u;
constexpr uint32_t WS_VISIBLE = 0x10000000u;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000u;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
constexpr uint32_t WS_CAPTION = 0x00C00000u;
constexpr uint32_t WS_SYSMENU = 0x00080000u;
constexpr uint32_t WS_THICKFRAME = 0x00040000u;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000u;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000u;
constexpr uint32_t WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
// The captioned pop-up of the dialogs (0x96C80000).
constexpr uint32_t UI_WNDSTYLE_DIALOG =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

constexpr uint32_t WS_EX_TOPMOST = 0x00000008u;
constexpr uint32_t WS_EX_ACCEPTFILES = 0x00000010u;
constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080u;
constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100u;

// Qt flags of a top-level window with these styles. `skinCaption`: the skin draws the
// caption (frameless window).
Qt::WindowFlags WindowFlagsForStyle(uint32_t style, uint32_t exStyle, bool skinCaption);

}  // namespace tolvex
