#pragma once

// The start button of each page: its control name in the main window's skin, and the text
// it shows while the page has queued work (busy) or not (idle).
// Thread use: UI thread only.

#include "tasks/TaskTypes.h"

#include <QString>

namespace tolvex {

struct StartButtonTexts {
    const char* buttonName;  // control name of the page's start button
    const char* busyText;    // UTF-8 source text, while queued work remains
    const char* idleText;    // UTF-8 source text, when the page is idle again
};

StartButtonTexts StartButtonTextsFor(PageKind page);

// The busy or idle text of the page's start button, translated.
QString StartButtonText(PageKind page, bool busy);

}  // namespace tolvex
