#include "ui/main/HeaderLinks.h"

#include "app/ServiceAddress.h"
#include "ui/main/CMainWnd.h"

#include <QDesktopServices>
#include <QUrl>

namespace tolvex {

void HeaderLinks::attach(CMainWnd& window)
{
    window.routeNotify(QStringLiteral("click"), QStringLiteral("help"), this);
    window.routeMessage(WM_OPEN_HELP, this);
}

void HeaderLinks::onNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("help"))
        openHelp();
}

bool HeaderLinks::onMessage(MessageEvent& message)
{
    if (message.number() != WM_OPEN_HELP)
        return false;
    openHelp();
    return true;
}

void HeaderLinks::openHelp()
{
    QDesktopServices::openUrl(QUrl(HelpPageAddress()));
}

}  // namespace tolvex
