#pragma once

// The page selectors: selecting one shows its page and only its start button.

#include "ui/main/MainWndHandler.h"

namespace tolvex {

class PageSwitchHandler : public MainWndHandler {
public:
    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

private:
    CMainWnd* m_window = nullptr;
};

}  // namespace tolvex
