// Pictures of the window at work for the README, taken when TOLVEX_SCREENSHOT_DIR names a
// folder (skipped otherwise): the convert page mid-conversion, the merge page, the
// parameter dialog and the tray menu.

#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/PageTasks.h"
#include "ui/main/TrayIcon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QTimer>

namespace tolvex::test {
namespace {

using WindowScreenshots = WindowTest;

QString ShotPath(const char* name)
{
    return QDir(qEnvironmentVariable("TOLVEX_SCREENSHOT_DIR")).filePath(QString::fromLatin1(name));
}

int PercentOf(QWidget* item)
{
    return ControlText(FindSubControl(item, QStringLiteral("video-progress-label"))).chopped(1).toInt();
}

TEST_F(WindowScreenshots, PagesAtWork)
{
    if (qEnvironmentVariableIsEmpty("TOLVEX_SCREENSHOT_DIR"))
        GTEST_SKIP() << "TOLVEX_SCREENSHOT_DIR is not set";
    window().resize(1100, 720);

    // Convert page: three files, the first one part way through.
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("海边日落.mp4"), 30.0, 1280, 720),
                                   Clip(QStringLiteral("family-trip.mov"), 30.0, 1280, 720),
                                   Clip(QStringLiteral("lecture_03.mkv"), 30.0, 1280, 720)});
    FindSubControlAs<QComboBox>(itemAt(PageKind::Convert, 1), QStringLiteral("video-convert-format"))
        ->setCurrentText(QStringLiteral("avi"));
    window().startButton(PageKind::Convert)->click();
    ASSERT_TRUE(WaitFor([&] { return PercentOf(itemAt(PageKind::Convert, 0)) >= 30; }));
    EXPECT_TRUE(window().grab().save(ShotPath("convert-page.png")));
    window().findControlAs<QAbstractButton>(QStringLiteral("clear-convert-list-btn"))->click();

    // Merge page with two ticked files.
    window().selectPage(PageKind::Merge);
    addAndWait(PageKind::Merge, {Clip(QStringLiteral("part1.mp4")), Clip(QStringLiteral("part2.mp4")),
                                 Clip(QStringLiteral("part3.mp4"))});
    for (int row : {0, 1, 2})
        FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, row), QStringLiteral("merge-check-box-item"))
            ->setChecked(row != 2);
    QCoreApplication::sendPostedEvents();  // the ticks' restyling is posted
    EXPECT_TRUE(window().grab().save(ShotPath("merge-page.png")));

    // The parameter dialog of a convert item, over the window.
    window().selectPage(PageKind::Convert);
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("family-trip.mov"), 30.0, 1280, 720)});
    QTimer::singleShot(200, [this] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* cancel = top->findChild<QAbstractButton*>(QStringLiteral("cancel-btn"));
            if (top->isVisible() && cancel && top != &window()) {
                QPixmap shot = window().grab();
                QPainter painter(&shot);
                painter.fillRect(shot.rect(), QColor(0, 0, 0, 90));
                painter.drawPixmap((shot.width() - top->width()) / 2, (shot.height() - top->height()) / 2, top->grab());
                painter.end();
                EXPECT_TRUE(shot.save(ShotPath("param-dialog.png")));
                cancel->click();
                return;
            }
        }
        ADD_FAILURE() << "no parameter dialog";
    });
    FindSubControlAs<QAbstractButton>(itemAt(PageKind::Convert, 0), QStringLiteral("video-param-setting-btn"))->click();

    // The tray menu as it opens above and right of the cursor.
    auto* tray = window().handler<TrayIcon>();
    ASSERT_NE(tray, nullptr);
    PostMessageTo(&window(), WM_TRAY_CALLBACK, nullptr, TrayIcon::kIconId, TrayIcon::kRightButtonDown);
    ASSERT_TRUE(WaitFor([&] { return tray->openMenu() != nullptr; }, 5000));
    CMainTaskMenu* menu = tray->openMenu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QPixmap canvas(menu->width() + 60, menu->height() + 40);
    canvas.fill(QColor(0x2b, 0x34, 0x47));
    QPainter painter(&canvas);
    painter.drawPixmap(20, 10, menu->grab());
    painter.setPen(Qt::white);
    painter.drawText(QPoint(10, menu->height() + 30), QStringLiteral("▲ 托盘图标右键菜单"));
    painter.end();
    EXPECT_TRUE(canvas.save(ShotPath("tray-menu.png")));
    menu->Close(1);
}

}  // namespace
}  // namespace tolvex::test
