// tolvex-screenshots: the README's pictures of the window at work, written to the folder
// TOLVEX_SCREENSHOT_DIR names (`make screenshots` runs it under Xvfb on the xcb platform):
// the convert page mid-conversion, the merge page, the parameter dialog, the tray menu, and
// a failed item above a running one. It drives the real window with the window tests'
// fixture, but is no test: it is not run by the test suite.

#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/PageTasks.h"
#include "ui/main/TrayIcon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace tolvex::test {
namespace {

class WindowScreenshots : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("TOLVEX_SCREENSHOT_DIR")) << "name the pictures' folder";
        WindowTest::SetUp();
    }
};

QString ShotPath(const char* name)
{
    return QDir(qEnvironmentVariable("TOLVEX_SCREENSHOT_DIR")).filePath(QString::fromLatin1(name));
}

// A 720p clip that is quick to make (MPEG-4) and takes a few seconds to convert (H.264).
QString LargeClip(const QString& name, double seconds)
{
    static QTemporaryDir folder;
    QString path = folder.filePath(name);
    if (!QFileInfo::exists(path)) {
        ClipShape shape = Clip(1280, 720, seconds);
        shape.codec = VideoCodec::Mpeg4;
        EXPECT_TRUE(MakeClip(path, shape)) << name.toStdString();
    }
    return path;
}

// The seconds of "剩余 1:02"; -1 for any other text.
int SecondsLeft(const QString& text)
{
    static const QRegularExpression clock(QStringLiteral("^剩余 (?:(\\d+):)?(\\d+):(\\d\\d)$"));
    const QRegularExpressionMatch match = clock.match(text);
    if (!match.hasMatch())
        return -1;
    return match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 + match.captured(3).toInt();
}

int PercentOf(QWidget* item)
{
    return ControlText(FindSubControl(item, QStringLiteral("video-progress-label"))).chopped(1).toInt();
}

TEST_F(WindowScreenshots, PagesAtWork)
{
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

// A failed item with its retry button above one that is running with its time left.
TEST_F(WindowScreenshots, AFailedAndARunningItem)
{
    window().resize(1100, 640);
    QTemporaryDir inputs;
    const QString missing = inputs.filePath(QStringLiteral("holiday-clip.mp4"));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("retry-source.mp4")), missing));
    addAndWait(PageKind::Convert, {missing, LargeClip(QStringLiteral("海边日落.mp4"), 20.0)});
    ASSERT_TRUE(QFile::remove(missing));
    window().startButton(PageKind::Convert)->click();
    auto* left = FindSubControlAs<QLabel>(itemAt(PageKind::Convert, 1), QStringLiteral("time-left"));
    ASSERT_TRUE(WaitFor([&] { return SecondsLeft(left->text()) > 0; }));
    EXPECT_TRUE(window().grab().save(ShotPath("time-left-and-retry.png")));
    if (!qEnvironmentVariableIsEmpty("TOLVEX_SCREENSHOT_HOLD_MS"))
        Pump(qEnvironmentVariableIntValue("TOLVEX_SCREENSHOT_HOLD_MS"));  // for a picture of the whole screen
}

}  // namespace
}  // namespace tolvex::test
