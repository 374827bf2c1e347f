#include "app/ServiceAddress.h"

#include "app/Folders.h"
#include "app/IniFile.h"

namespace tolvex {

namespace {

constexpr char kPublicServiceAddress[] = "https://www.tolvex.com";

}  // namespace

QString ServiceBaseAddress()
{
    const IniFile ini(ExecutableFolder() + QStringLiteral("/Config.ini"));
    QString address = ini.value(QStringLiteral("global"), QStringLiteral("service-url")).value_or(QString()).trimmed();
    if (address.isEmpty())
        address = QString::fromLatin1(kPublicServiceAddress);
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

QString HelpPageAddress()
{
    return ServiceBaseAddress() + QStringLiteral("/help");
}

}  // namespace tolvex
