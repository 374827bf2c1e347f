#include "ui/main/HeaderLinks.h"

#include "app/ServiceAddress.h"
#include "ui/main/CMainWnd.h"

#include <QDesktopServices>
#include <QUrl>

namespace tolvex {

void HeaderLinks::Attach(CMainWnd& window)
{
    window.RouteNotify(QStringLiteral("click"), QStringLiteral("help"), this);
    window.RouteMessage(WM_OPEN_HELP, this);
}

void HeaderLinks::OnNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("help"))
        OpenHelp();
}

bool HeaderLinks::OnMessage(MessageEvent& message)
{
    if (message.number() != WM_OPEN_HELP)
        return false;
    OpenHelp();
    return true;
}

void HeaderLinks::OpenHelp()
{
    QDesktopServices::openUrl(QUrl(HelpPageAddress()));
}

}  // namespace tolvex
