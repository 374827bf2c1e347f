#pragma once

// What the user sees of an update check, on the UI thread:
//   a newer release, forced:   the prompt "发现新版本啦!", then the download dialog (which
//                              checks the file against the answer's SHA-256, if any);
//   a newer release, optional: the question "发现新版本啦!"; confirm runs the download
//                              dialog, cancel ends here;
//   up to date:                "没有发现新版本!" when the user asked (interactive), else nothing;
//   failed:                    nothing.
// Boxes and the dialog are owned by `owner` (the main window), centred over it and modal.
// UI thread only.

#include "net/UpdateCheck.h"

#include <string>

class QWidget;

namespace tolvex {

void OfferUpdate(QWidget* owner, const UpdateInfo& release);
void ShowUpdateCheckResult(QWidget* owner, const UpdateCheckResult& result, bool interactive);

}  // namespace tolvex
