#include "ui/main/DesktopNotifications.h"

#include "app/BuildInfo.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>
#include <QGuiApplication>
#include <QVariantMap>

namespace tolvex {

namespace {
// The program's icon name; with its desktop entry's id (kApplicationId) servers show the icon
// and group the notices under the program.
constexpr const char* kIconName = "tolvex-video-converter";
// Urgency levels of the notification hints.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;
}  // namespace

DesktopNotifications::DesktopNotifications(std::function<void()> activated, QObject* parent)
    : QObject(parent), m_activated(std::move(activated))
{
}

DesktopNotifications::~DesktopNotifications()
{
    if (!m_listening)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.disconnect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                   SLOT(onActionInvoked(uint, QString)));
    bus.disconnect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                   SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotifications::show(const QString& title, const QString& text, bool warning, int timeoutMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qWarning().noquote() << "desktop notice not shown: no session bus:" << bus.lastError().message();
        return false;
    }
    if (!m_listening) {
        // Any sender on the service's path: the server may start or change after us, and
        // only ids of our own notices are acted on.
        m_listening = bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                                  SLOT(onActionInvoked(uint, QString))) &&
                      bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                                  SLOT(onNotificationClosed(uint, uint)));
    }

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(warning ? kCriticalUrgency : kNormalUrgency));
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kApplicationId));
    const QStringList actions{QString::fromLatin1(kDefaultAction),
                              QCoreApplication::translate("DesktopNotifications", "打开文件夹")};
    call << QGuiApplication::applicationDisplayName() << uint(0) << QString::fromLatin1(kIconName) << title << text
         << actions << hints << timeoutMs;
    ++m_pending;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        --m_pending;
        const QDBusPendingReply<uint> reply = *finished;
        if (reply.isError())
            qWarning().noquote() << "desktop notice not shown:" << reply.error().message();
        else
            m_open.insert(reply.value());
        finished->deleteLater();
    });
    return true;
}

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey)
{
    if (m_open.count(id) == 0 || actionKey != QLatin1String(kDefaultAction))
        return;
    if (m_activated)
        m_activated();
}

void DesktopNotifications::onNotificationClosed(uint id, uint /*reason*/)
{
    m_open.erase(id);
}

}  // namespace tolvex
