#pragma once

// The header's help button and the menu request that leads to the same place: help (the
// "help" button, WM_OPEN_HELP) opens the service's help page in the browser. The header's
// feedback button belongs to OnlineServices.
// UI thread only.

#include "ui/main/MainWndHandler.h"

namespace tolvex {

class HeaderLinks : public MainWndHandler {
public:
    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;
    bool onMessage(MessageEvent& message) override;

private:
    void openHelp();
};

}  // namespace tolvex
