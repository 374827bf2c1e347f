// The desktop notice tests run on a session bus of their own: a private dbus-daemon started
// here for the run (as dbus-run-session would), so the stand-in notification service the
// tests register never meets the user's desktop. Qt's offscreen platform, where no system
// tray exists, unless the environment chooses one.

#include "tests/app/TestEnv.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>

#include <sys/types.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tolvex::test::ScopedHome home;
    QApplication app(argc, argv);

    // The bus must be there before anything asks Qt for the session bus. The daemon forks
    // away from this process, so the window tests' check that no child process outlives a
    // test does not count it; it is ended by its pid at the end of the run.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qint64 daemonPid = 0;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (!program.isEmpty()) {
        QProcess daemon;
        daemon.start(program, {QStringLiteral("--session"), QStringLiteral("--fork"),
                               QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
        daemon.waitForFinished(10000);
        const QList<QByteArray> lines = daemon.readAllStandardOutput().split('\n');
        if (lines.size() >= 2 && !lines[0].trimmed().isEmpty()) {
            qputenv("DBUS_SESSION_BUS_ADDRESS", lines[0].trimmed());
            daemonPid = lines[1].trimmed().toLongLong();
        }
    }
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        std::cerr << "no private session bus (dbus-daemon missing or failed to start)\n";

    tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    tolvex::CWndShadow::RegisterShadowClass();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (daemonPid > 0)
        ::kill(static_cast<pid_t>(daemonPid), SIGTERM);
    return result;
}
