#pragma once

// The shown text of a page's start button: the engine's busy or idle text of the page,
// translated.
// Thread use: UI thread only.

#include "tasks/TaskTypes.h"

#include <QString>

namespace tolvex {

QString StartButtonText(PageKind page, bool busy);

}  // namespace tolvex
