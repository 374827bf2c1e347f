#pragma once

// The notification-area icon of the main window (tip "TOLVEX视频转换器"). A press on the
// icon reaches the window as WM_TRAY_CALLBACK with the icon id and the mouse message: a
// left click brings the window back to the front, a right click opens CMainTaskMenu at the
// cursor. The icon goes away when the window closes.
// UI thread only.

#include "ui/main/CMainTaskMenu.h"
#include "ui/main/MainWndHandler.h"

#include <QPointer>

#include <memory>

class QSystemTrayIcon;

namespace tolvex {

class TrayIcon : public MainWndHandler {
public:
    static constexpr int kIconId = 128;
    // The mouse messages the callback carries.
    static constexpr int kLeftButtonDown = 513;
    static constexpr int kLeftButtonDoubleClick = 515;
    static constexpr int kRightButtonDown = 516;

    TrayIcon();
    ~TrayIcon() override;

    void attach(CMainWnd& window) override;
    bool onMessage(MessageEvent& message) override;

    QSystemTrayIcon* icon() const { return m_icon.get(); }
    // The menu opened by the last right click, while it is open.
    CMainTaskMenu* openMenu() const;

private:
    void remove();

    CMainWnd* m_window = nullptr;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QPointer<CMainTaskMenu> m_menu;  // the menu deletes itself
};

}  // namespace tolvex
