#include "ui/main/CMainTaskMenu.h"

#include "tasks/TaskTypes.h"
#include "ui/framework/WindowMethodError.h"

#include <QDebug>
#include <QEvent>

#include <memory>

namespace tolvex {

namespace {

struct MenuEntry {
    const char* name;
    int message;
};

// In the order the entries are compared.
constexpr MenuEntry kEntries[] = {
    {"main_menu_item_quit", WM_APP_QUIT},          {"main_menu_item_home", WM_SHOW_MAIN},
    {"main_menu_item_feedback", WM_OPEN_FEEDBACK}, {"main_menu_item_help", WM_OPEN_HELP},
    {"main_menu_item_upgrade", WM_CHECK_UPGRADE},  {"main_menu_item_seting", WM_OPEN_SETTINGS},
};

}  // namespace

CMainTaskMenu::CMainTaskMenu(QWidget* owner, QPoint anchor) : m_owner(owner), m_anchor(anchor) {}

CMainTaskMenu::~CMainTaskMenu() = default;

CMainTaskMenu* CMainTaskMenu::Open(QWidget* owner, QPoint anchor)
{
    auto menu = std::make_unique<CMainTaskMenu>(owner, anchor);
    try {
        if (!menu->Create(owner, QStringLiteral("MenuWnd"), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                          WS_EX_TOOLWINDOW))
            return nullptr;
    } catch (const WindowMethodError& error) {
        qWarning().noquote() << error.what();
        return nullptr;
    }
    CMainTaskMenu* raw = menu.release();
    raw->move(menuPosition(anchor, raw->height()));
    raw->ShowWindow(true, true);
    return raw;
}

QPoint CMainTaskMenu::menuPosition(QPoint anchor, int height)
{
    return QPoint(anchor.x() + 6, anchor.y() - height - 6);
}

int CMainTaskMenu::messageOfItem(const QString& itemName)
{
    for (const MenuEntry& entry : kEntries) {
        if (itemName == QLatin1String(entry.name))
            return entry.message;
    }
    return 0;
}

QString CMainTaskMenu::GetSkinFile()
{
    return QStringLiteral("MainTaskMenu.xml");
}

QString CMainTaskMenu::getWindowClassName() const
{
    return QStringLiteral("CDuiMenu ");
}

void CMainTaskMenu::InitWindow()
{
    // A pop-up: no frame, no taskbar button, above other windows; a click anywhere else
    // closes it (Qt closes an open pop-up on an outside press).
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void CMainTaskMenu::Notify(TNotifyUI& msg)
{
    // The entries are buttons: a click chooses one, as a list element's click would.
    if (msg.type == QLatin1String("click") || msg.type == QLatin1String("itemclick")) {
        const int message = messageOfItem(msg.senderName());
        if (message != 0) {
            PostMessageTo(m_owner.data(), message, nullptr, msg.wParam, msg.lParam);
            Close(1);
        }
    } else if (msg.type == QLatin1String("itemselect")) {
        Close(1);
    }
    WindowImplBase::Notify(msg);
}

void CMainTaskMenu::changeEvent(QEvent* event)
{
    // Losing focus closes the menu.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        Close(1);
    WindowImplBase::changeEvent(event);
}

void CMainTaskMenu::OnFinalMessage()
{
    delete this;
}

}  // namespace tolvex
