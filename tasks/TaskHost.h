#pragma once

// What the task engine needs from the window that owns the queues. The engine knows no
// widget: it posts messages and asks for the start button's state through this interface.
// Thread use: every method may be called from any thread (workers, readers) and must not
// block on the UI thread while the caller holds a queue lock (the engine never does that).

#include "tasks/TaskTypes.h"

#include <QObject>

namespace tolvex {

class TaskHost {
public:
    virtual ~TaskHost() = default;
    // The object that receives WM_TASK_PROGRESS / WM_TASK_DONE / WM_TASK_FAILED and other
    // posted messages (the main window, or tolvex-cli's receiver).
    virtual QObject* messageReceiver() = 0;
    // The page's start button: busy (ignores the mouse, busy text) or idle (idle text).
    // Called on the UI thread by StartPage/CompleteTask/RemoveTask/ClearPage.
    virtual void setPageBusy(PageKind page, bool busy) = 0;
};

}  // namespace tolvex
