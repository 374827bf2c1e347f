#pragma once

// A piece of the main window's behaviour (one page's list editing, adding media, the tray
// icon, progress display...). CMainWnd owns its handlers and routes to each exactly the
// notifications (by type and sender name) and posted messages (by number) the handler
// asked for in Attach. Handlers live on the UI thread and are destroyed with the window.

#include "app/PostedMessage.h"
#include "ui/framework/TNotifyUI.h"

namespace tolvex {

class CMainWnd;

class MainWndHandler {
public:
    virtual ~MainWndHandler() = default;

    // Called once when the handler is added, after the window found its controls: find
    // what the handler needs and register its routes (CMainWnd::RouteNotify/RouteMessage).
    virtual void attach(CMainWnd& window) = 0;
    // A notification this handler registered for.
    virtual void onNotify(TNotifyUI& msg) {}
    // A posted message this handler registered for; true when handled.
    virtual bool onMessage(MessageEvent& message) { return false; }
};

}  // namespace tolvex
