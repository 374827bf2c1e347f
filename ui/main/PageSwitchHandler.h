#pragma once

// The page selectors: selecting one shows its page and only its start button.

#include "ui/main/MainWndHandler.h"

namespace tolvex {

class PageSwitchHandler : public MainWndHandler {
public:
    void Attach(CMainWnd& window) override;
    void OnNotify(TNotifyUI& msg) override;

private:
    CMainWnd* m_window = nullptr;
};

}  // namespace tolvex
