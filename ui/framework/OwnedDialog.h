#pragma once

// Creating a skinned dialog over its owner: the window is built from its skin as a captioned
// pop-up owned by `owner`; a window method that fails on the way (a skin that cannot be
// loaded) is written to the diagnostic output and the dialog is dropped. A dialog that was
// created owns itself from then on: it deletes itself after its final message.
// UI thread only.

#include "ui/framework/WindowImplBase.h"
#include "ui/framework/WindowStyle.h"

#include <memory>

namespace tolvex {

// The created window, or null when it could not be made (the object is then deleted).
WindowImplBase* CreateOwnedWindow(std::unique_ptr<WindowImplBase> window, QWidget* owner, const QString& title,
                                  uint32_t style);

template <class Dialog>
Dialog* CreateOwnedDialog(std::unique_ptr<Dialog> dialog, QWidget* owner, const QString& title = QString(),
                          uint32_t style = UI_WNDSTYLE_DIALOG)
{
    return static_cast<Dialog*>(CreateOwnedWindow(std::move(dialog), owner, title, style));
}

// Creates the dialog, centres it over its owner and runs it modally. Returns the value the
// dialog closed with, or 0 when it could not be created.
int RunOwnedModal(std::unique_ptr<WindowImplBase> dialog, QWidget* owner);

}  // namespace tolvex
