#pragma once

// The preview player draws with SDL into a native X11 window; SDL cannot adopt a Wayland
// surface. These helpers keep the clip dialogs' preview working on Wayland desktops.

#include <QString>

namespace tolvex {

// Call before the application object is made. When the user chose no platform
// (QT_QPA_PLATFORM unset) and an X display is there (XWayland on a Wayland desktop), the
// program runs on Qt's xcb platform. Returns true when it chose xcb.
bool ChoosePreviewPlatform();

// Whether the running application can show the preview (it runs on X11).
bool PreviewCanShowPicture();

// The notice shown in the video area when it cannot; printed once per process the first
// time it is asked for.
QString PreviewNeedsX11Notice();

}  // namespace tolvex
