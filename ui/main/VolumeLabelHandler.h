#pragma once

// The volume sliders of the mute and music pages and their labels.

#include "ui/main/MainWndHandler.h"

#include <QString>

namespace tolvex {

// "+%ddB" for a gain of 0 or more, else "%ddB".
QString FormatGainLabel(int gain);

class VolumeLabelHandler : public MainWndHandler {
public:
    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

private:
    CMainWnd* m_window = nullptr;
};

}  // namespace tolvex
