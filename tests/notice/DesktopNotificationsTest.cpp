// The finish notice on a desktop without a system tray: the notice goes to the freedesktop
// notification service on the session bus, and the server's "default" action (a click on
// the notice) opens the output folder. The service here is a small stand-in registered on
// the test's private session bus under the real name; it records the calls it receives and
// sends the signals a notification server sends.

#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/main/DesktopNotifications.h"
#include "ui/main/FinishNotice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVariantMap>

namespace tolvex::test {
namespace {

struct ReceivedNotice {
    QString appName;
    uint replacesId = 0;
    QString icon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int timeout = 0;
};

// The stand-in notification server, on a bus connection of its own.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    NotificationServer() : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("server")))
    {
        m_registered = m_bus.isConnected() &&
                       m_bus.registerObject(DesktopNotifications::kPath, this, QDBusConnection::ExportAllSlots) &&
                       m_bus.registerService(DesktopNotifications::kService);
    }
    ~NotificationServer() override
    {
        m_bus.unregisterService(DesktopNotifications::kService);
        m_bus.unregisterObject(DesktopNotifications::kPath);
        QDBusConnection::disconnectFromBus(QStringLiteral("server"));
    }
    bool registered() const { return m_registered; }
    const QList<ReceivedNotice>& notices() const { return m_notices; }

    // What a server sends when the user clicks a notice or it goes away.
    void invoke(uint id, const QString& action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(DesktopNotifications::kPath, DesktopNotifications::kInterface,
                                                         QStringLiteral("ActionInvoked"));
        signal << id << action;
        m_bus.send(signal);
    }
    void closed(uint id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(DesktopNotifications::kPath, DesktopNotifications::kInterface,
                                                         QStringLiteral("NotificationClosed"));
        signal << id << uint(2);
        m_bus.send(signal);
    }

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        m_notices.append({appName, replacesId, icon, summary, body, actions, hints, timeout});
        return m_nextId++;
    }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
    QList<ReceivedNotice> m_notices;
    uint m_nextId = 41;
};

bool SessionBusRuns()
{
    return QDBusConnection::sessionBus().isConnected();
}

TEST(DesktopNotificationsTest, ANoticeReachesTheServerAndOnlyItsDefaultActionCounts)
{
    if (!SessionBusRuns())
        GTEST_SKIP() << "no session bus could be started here";
    NotificationServer server;
    ASSERT_TRUE(server.registered());
    int clicks = 0;
    DesktopNotifications notifications([&] { ++clicks; });

    ASSERT_TRUE(notifications.show(QStringLiteral("标题"), QStringLiteral("2 个文件已完成"), false, 10000));
    ASSERT_TRUE(WaitFor([&] { return notifications.pendingCalls() == 0; }, 10000));
    ASSERT_EQ(server.notices().size(), 1);
    const ReceivedNotice& notice = server.notices().front();
    EXPECT_EQ(notice.summary, QStringLiteral("标题"));
    EXPECT_EQ(notice.body, QStringLiteral("2 个文件已完成"));
    EXPECT_EQ(notice.replacesId, 0U);
    EXPECT_EQ(notice.timeout, 10000);
    ASSERT_GE(notice.actions.size(), 2);
    EXPECT_EQ(notice.actions[0], QStringLiteral("default"));
    EXPECT_FALSE(notice.actions[1].isEmpty());
    EXPECT_EQ(notice.hints.value(QStringLiteral("urgency")).toInt(), 1);
    ASSERT_EQ(notifications.openNotices().size(), 1U);
    const uint id = *notifications.openNotices().begin();

    // Another program's notice, or another action of ours, is not a click on ours.
    server.invoke(id + 100, QStringLiteral("default"));
    server.invoke(id, QStringLiteral("other"));
    // Our own click, sent after those two, arrives after them.
    server.invoke(id, QStringLiteral("default"));
    ASSERT_TRUE(WaitFor([&] { return clicks > 0; }, 10000));
    EXPECT_EQ(clicks, 1);

    // Once the server closed it, a late action on that id is ignored.
    server.closed(id);
    ASSERT_TRUE(WaitFor([&] { return notifications.openNotices().empty(); }, 10000));
    server.invoke(id, QStringLiteral("default"));
    // A second notice's answer proves the bus has delivered everything sent before it.
    ASSERT_TRUE(notifications.show(QStringLiteral("标题"), QStringLiteral("失败"), true, 10000));
    ASSERT_TRUE(WaitFor([&] { return notifications.pendingCalls() == 0; }, 10000));
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(server.notices().size(), 2);
    EXPECT_EQ(server.notices()[1].hints.value(QStringLiteral("urgency")).toInt(), 2);
}

TEST(DesktopNotificationsTest, WithoutAServerTheNoticeIsDroppedQuietly)
{
    if (!SessionBusRuns())
        GTEST_SKIP() << "no session bus could be started here";
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    ASSERT_FALSE(bus->isServiceRegistered(DesktopNotifications::kService));
    // A notification daemon installed here would be started by the bus on the first call.
    if (bus->activatableServiceNames().value().contains(QLatin1String(DesktopNotifications::kService)))
        GTEST_SKIP() << "a notification server can be started on this bus";
    int clicks = 0;
    DesktopNotifications notifications([&] { ++clicks; });
    EXPECT_TRUE(notifications.show(QStringLiteral("标题"), QStringLiteral("正文"), false, 1000));
    ASSERT_TRUE(WaitFor([&] { return notifications.pendingCalls() == 0; }, 30000));
    EXPECT_TRUE(notifications.openNotices().empty());
    EXPECT_EQ(clicks, 0);
}

class TraylessNoticeTest : public WindowTest {};

TEST_F(TraylessNoticeTest, AHiddenWindowWithoutATrayPostsToTheBusAndTheClickOpensTheFolder)
{
    if (!SessionBusRuns())
        GTEST_SKIP() << "no session bus could be started here";
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    NotificationServer server;
    ASSERT_TRUE(server.registered());

    addAndWait(PageKind::Mute, {Clip(QStringLiteral("bus-one.mp4")), Clip(QStringLiteral("bus-two.mp4"))});
    window().hide();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Mute));
    ASSERT_EQ(outputFiles().size(), 2);
    ASSERT_TRUE(WaitFor([&] { return !server.notices().isEmpty(); }, 10000));
    const ReceivedNotice notice = server.notices().front();
    EXPECT_EQ(notice.summary, QStringLiteral("TOLVEX视频转换器"));
    EXPECT_EQ(notice.body, QStringLiteral("2 个文件已完成"));
    EXPECT_TRUE(notice.actions.contains(QStringLiteral("default")));

    FinishNotice* finish = window().handler<FinishNotice>();
    ASSERT_NE(finish, nullptr);
    DesktopNotifications* bus = finish->desktopNotices();
    ASSERT_NE(bus, nullptr);
    ASSERT_TRUE(WaitFor([&] { return bus->pendingCalls() == 0 && !bus->openNotices().empty(); }, 10000));

    OpenedUrls opened;
    server.invoke(*bus->openNotices().begin(), QStringLiteral("default"));
    ASSERT_TRUE(WaitFor([&] { return !opened.urls.isEmpty(); }, 10000));
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(QDir(opened.urls.front().toLocalFile()), QDir(outputFolder()));
}

}  // namespace
}  // namespace tolvex::test

#include "DesktopNotificationsTest.moc"
