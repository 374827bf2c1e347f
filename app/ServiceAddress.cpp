#include "app/ServiceAddress.h"

#include "app/Folders.h"
#include "app/IniFile.h"

#include <QUrl>

#ifndef TOLVEX_DEFAULT_SERVICE_URL
#define TOLVEX_DEFAULT_SERVICE_URL "http://service.tolvex.invalid"
#endif

namespace tolvex {

namespace {

QString WithoutTrailingSlashes(QString address)
{
    address = address.trimmed();
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

}  // namespace

QString BuiltInServiceAddress()
{
    return WithoutTrailingSlashes(QString::fromUtf8(TOLVEX_DEFAULT_SERVICE_URL));
}

QString ServiceBaseAddress()
{
    QString address = WithoutTrailingSlashes(qEnvironmentVariable("TOLVEX_SERVICE_URL"));
    if (address.isEmpty()) {
        const IniFile ini(ExecutableFolder() + QStringLiteral("/Config.ini"));
        address = WithoutTrailingSlashes(
            ini.value(QStringLiteral("global"), QStringLiteral("service-url")).value_or(QString()));
    }
    if (address.isEmpty())
        address = BuiltInServiceAddress();
    return address;
}

QString HelpPageAddress()
{
    return ServiceBaseAddress() + QStringLiteral("/help");
}

bool IsUnresolvableServiceUrl(const QString& url)
{
    QString host = QUrl(url).host().toLower();
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    return host == QLatin1String("invalid") || host.endsWith(QLatin1String(".invalid"));
}

}  // namespace tolvex
