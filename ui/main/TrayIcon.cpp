#include "ui/main/TrayIcon.h"

#include "ui/framework/SkinResources.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/CMainWnd.h"

#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

namespace tolvex {

TrayIcon::TrayIcon() = default;

TrayIcon::~TrayIcon()
{
    remove();
}

void TrayIcon::attach(CMainWnd& window)
{
    m_window = &window;
    window.routeMessage(WM_TRAY_CALLBACK, this);

    QIcon icon = window.windowIcon();
    if (icon.isNull())
        icon = QIcon(SkinResources::skinPath(QStringLiteral("images/logo.png")));
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(QCoreApplication::translate("TrayIcon", "TOLVEX视频转换器"));
    // The icon's presses travel as the window's tray callback message, like every other
    // request that reaches the window.
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, &window,
                     [target = QPointer<CMainWnd>(&window)](QSystemTrayIcon::ActivationReason reason) {
                         int mouse = 0;
                         if (reason == QSystemTrayIcon::Trigger)
                             mouse = kLeftButtonDown;
                         else if (reason == QSystemTrayIcon::Context)
                             mouse = kRightButtonDown;
                         else if (reason == QSystemTrayIcon::DoubleClick)
                             mouse = kLeftButtonDoubleClick;
                         PostMessageTo(target.data(), WM_TRAY_CALLBACK, nullptr, kIconId, mouse);
                     });
    m_icon->show();
    window.addShutdownStep([this] { remove(); });
}

void TrayIcon::remove()
{
    if (m_menu)
        m_menu->Close(1);
    if (m_icon)
        m_icon->hide();
    m_icon.reset();
}

CMainTaskMenu* TrayIcon::openMenu() const
{
    return m_menu.data();
}

bool TrayIcon::onMessage(MessageEvent& message)
{
    if (message.number() != WM_TRAY_CALLBACK || !m_window)
        return false;
    switch (message.lParam()) {
    case kRightButtonDown: {
        const QPoint anchor = QCursor::pos();
        m_window->activateWindow();
        m_menu = CMainTaskMenu::Open(m_window, anchor);
        break;
    }
    case kLeftButtonDown:
        m_window->raise();
        m_window->ShowWindow(true, true);
        break;
    default:
        // Other presses (the double click among them) are ignored.
        break;
    }
    return false;
}

}  // namespace tolvex
