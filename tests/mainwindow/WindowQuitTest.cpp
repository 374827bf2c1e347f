// Quitting from the tray menu ends the program's event loop with 0. Last in the run: the
// application's loop is over afterwards.

#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/TrayIcon.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace tolvex::test {
namespace {

using TrayQuitTest = WindowTest;

TEST_F(TrayQuitTest, TheTrayMenusQuitEndsTheProgramWithZero)
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

}  // namespace
}  // namespace tolvex::test
