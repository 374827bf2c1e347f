// Quitting from the tray menu, or by SIGTERM (logging out, shutting down), ends the
// program's event loop with 0, also in the middle of a job: the running ffmpeg is ended and
// its partial file deleted, so nothing half-written and no reserved name is left in the
// output folder. The window removes only its own temp files: a tolvex-cli compress running
// beside it finishes. Each test ends the application's loop, so each runs alone.

#include "tasks/TaskEngine.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/PageTasks.h"
#include "ui/main/TrayIcon.h"

#include "app/Folders.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <signal.h>
#include <unistd.h>

namespace tolvex::test {
namespace {

class TrayQuitTest : public WindowTest {
protected:
    // Starts a long conversion and waits until ffmpeg has begun writing; returns its pid.
    pid_t startALongConversion()
    {
        addAndWait(PageKind::Convert, {Clip(QStringLiteral("long.mp4"), 30.0, 640, 480)});
        const TaskId id = idAt(PageKind::Convert, 0);
        window().startButton(PageKind::Convert)->click();
        TaskEngine& engine = tasks().engine();
        EXPECT_TRUE(WaitFor([&] { return engine.processOf(PageKind::Convert, id).has_value(); }));
        const pid_t pid = engine.processOf(PageKind::Convert, id).value_or(0);
        // ffmpeg has created its output before the quit, so the cleanup has something to delete.
        EXPECT_TRUE(WaitFor([&] { return !outputFiles().isEmpty(); }, 20000));
        return pid;
    }
    void quitFromTheTrayMenu()
    {
        auto* tray = window().handler<TrayIcon>();
        ASSERT_NE(tray, nullptr);
        PostMessageTo(&window(), WM_TRAY_CALLBACK, nullptr, TrayIcon::kIconId, TrayIcon::kRightButtonDown);
        ASSERT_TRUE(WaitFor([&] { return tray->openMenu() != nullptr; }, 5000));
        tray->openMenu()->findControlAs<QAbstractButton>(QStringLiteral("main_menu_item_quit"))->click();
        // The quit request travels through the event loop; the window's end ends the loop.
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_TRUE(windowGone());
    }
};

TEST_F(TrayQuitTest, TheTrayMenusQuitEndsTheProgramWithZero)
{
    quitFromTheTrayMenu();
}

TEST_F(TrayQuitTest, QuittingMidJobEndsItsFfmpegAndLeavesNoPartialFile)
{
    const pid_t pid = startALongConversion();
    quitFromTheTrayMenu();
    EXPECT_TRUE(WaitFor([&] { return ProcessGone(pid); }, 5000));
    EXPECT_TRUE(outputFiles().isEmpty()) << outputFiles().join(QLatin1Char(' ')).toStdString();
}

TEST_F(TrayQuitTest, SigtermMidJobQuitsTheNormalWay)
{
    const pid_t pid = startALongConversion();
    ::kill(::getpid(), SIGTERM);
    // The signal reaches the window through its event loop, whose end it brings.
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(windowGone());
    EXPECT_TRUE(WaitFor([&] { return ProcessGone(pid); }, 5000));
    EXPECT_TRUE(outputFiles().isEmpty()) << "no partial file, no reserved name: "
                                         << outputFiles().join(QLatin1Char(' ')).toStdString();
}

TEST_F(TrayQuitTest, ACompressOfTolvexCliBesideTheWindowOutlivesItsQuit)
{
    QTemporaryDir cliOutput;
    QProcess cli;
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.start(QStringLiteral(TOLVEX_CLI_PATH),
              {QStringLiteral("compress"), QStringLiteral("--strength"), QStringLiteral("50"),
               QStringLiteral("--output-dir"), cliOutput.path(), Clip(QStringLiteral("long.mp4"), 30.0, 640, 480)});
    ASSERT_TRUE(cli.waitForStarted(10000));
    // Its first pass is writing the pass log the second one reads.
    const auto passLogWritten = [&] {
        QDirIterator it(TempFolder(), {QStringLiteral("compress-pass-*")}, QDir::Files, QDirIterator::Subdirectories);
        return it.hasNext();
    };
    ASSERT_TRUE(WaitFor(passLogWritten, 60000));

    quitFromTheTrayMenu();
    ASSERT_TRUE(cli.waitForFinished(300000));
    const QString printed = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(cli.exitCode(), 0) << printed.toStdString() << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral(": done -> "))) << printed.toStdString();
    EXPECT_EQ(QDir(cliOutput.path()).entryList(QDir::Files).size(), 1);
}

}  // namespace
}  // namespace tolvex::test
