// Quitting from the tray menu ends the program's event loop with 0, also in the middle of a
// job: the running ffmpeg is ended and its partial file deleted, so nothing half-written is
// left in the output folder. Each test ends the application's loop, so each runs alone.

#include "tasks/TaskEngine.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/PageTasks.h"
#include "ui/main/TrayIcon.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace tolvex::test {
namespace {

class TrayQuitTest : public WindowTest {
protected:
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
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("long.mp4"), 30.0, 640, 480)});
    const TaskId id = idAt(PageKind::Convert, 0);
    window().startButton(PageKind::Convert)->click();
    TaskEngine& engine = tasks().engine();
    ASSERT_TRUE(WaitFor([&] { return engine.processOf(PageKind::Convert, id).has_value(); }));
    const pid_t pid = *engine.processOf(PageKind::Convert, id);
    // ffmpeg has created its output before the quit, so the cleanup has something to delete.
    ASSERT_TRUE(WaitFor([&] { return !outputFiles().isEmpty(); }, 20000));

    quitFromTheTrayMenu();
    EXPECT_TRUE(WaitFor([&] { return ProcessGone(pid); }, 5000));
    EXPECT_TRUE(outputFiles().isEmpty()) << outputFiles().join(QLatin1Char(' ')).toStdString();
}

}  // namespace
}  // namespace tolvex::test
