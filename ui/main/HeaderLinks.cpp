#include "ui/main/HeaderLinks.h"

#include "app/ServiceAddress.h"
#include "ui/main/CMainWnd.h"

#include <QDesktopServices>
#include <QUrl>

namespace tolvex {

void HeaderLinks::Attach(CMainWnd& window)
{
    window.RouteNotify(QStringLiteral("click"), QStringLiteral("help"), this);
    window.RouteNotify(QStringLiteral("click"), QStringLiteral("feedback"), this);
    window.RouteMessage(WM_OPEN_HELP, this);
    window.RouteMessage(WM_OPEN_FEEDBACK, this);
}

void HeaderLinks::OnNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("help"))
        OpenHelp();
}

bool HeaderLinks::OnMessage(MessageEvent& message)
{
    if (message.number() == WM_OPEN_HELP) {
        OpenHelp();
        return true;
    }
    // WM_OPEN_FEEDBACK: nothing to open yet.
    return message.number() == WM_OPEN_FEEDBACK;
}

void HeaderLinks::OpenHelp()
{
    QDesktopServices::openUrl(QUrl(HelpPageAddress()));
}

}  // namespace tolvex
