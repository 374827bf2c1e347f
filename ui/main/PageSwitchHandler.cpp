#include "ui/main/PageSwitchHandler.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/MainPageNames.h"

namespace tolvex {

void PageSwitchHandler::attach(CMainWnd& window)
{
    m_window = &window;
    for (const MainPageNames& names : kMainPageNames)
        window.routeNotify(QStringLiteral("selectchanged"), QString::fromLatin1(names.selector), this);
}

void PageSwitchHandler::onNotify(TNotifyUI& msg)
{
    const QString name = msg.senderName();
    for (int i = 0; i < kPageCount; ++i) {
        if (name == QLatin1String(kMainPageNames[i].selector)) {
            m_window->selectPage(static_cast<PageKind>(i));
            return;
        }
    }
}

}  // namespace tolvex
