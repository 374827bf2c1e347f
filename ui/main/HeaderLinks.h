#pragma once

// The header's help and feedback buttons and the menu requests that lead to the same
// places: help (the "help" button, WM_OPEN_HELP) opens the service's help page in the
// browser. Feedback (the "feedback" button, WM_OPEN_FEEDBACK) opens nothing while the
// program has no feedback dialog.
// UI thread only.

#include "ui/main/MainWndHandler.h"

namespace tolvex {

class HeaderLinks : public MainWndHandler {
public:
    void Attach(CMainWnd& window) override;
    void OnNotify(TNotifyUI& msg) override;
    bool OnMessage(MessageEvent& message) override;

private:
    void OpenHelp();
};

}  // namespace tolvex
