// tolvex-screenshots: the README's pictures of the window at work, written to the folder
// TOLVEX_SCREENSHOT_DIR names (`make screenshots` runs it under Xvfb on the xcb platform):
// the convert page mid-conversion, the merge page, the parameter dialog, the tray menu, and
// a failed item above a running one; the split dialog and the merge page with their
// "无损快速" box, in Chinese and in English. It drives the real window with the window tests'
// fixture, but is no test: it is not run by the test suite.

#include "app/Settings.h"
#include "player/PreviewPlayer.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/clip/VideoSplitDialog.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/UiLanguage.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/PageTasks.h"
#include "ui/main/TrayIcon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
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

// The lossless boxes in one language: the merge page with two files and the box ticked, and
// the split dialog with the box ticked and the key frame a start between two of them gets.
class LosslessScreenshots : public WindowScreenshots {
protected:
    void shoot(UiLanguage::Language language)
    {
        const QString code = UiLanguage::code(language);
        window().resize(1100, 720);
        window().selectPage(PageKind::Merge);
        addAndWait(PageKind::Merge, {Clip(QStringLiteral("GOPR0001.mp4")), Clip(QStringLiteral("GOPR0002.mp4"))});
        window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
        auto* box = window().findControlAs<QCheckBox>(QStringLiteral("video-merge-lossless"));
        ASSERT_TRUE(box);
        box->setChecked(true);
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(window().grab().save(ShotPath(qPrintable(QStringLiteral("merge-page-lossless-%1.png").arg(code)))));
        box->setChecked(false);

        // Key frames every 2 s: a start at 5 s really starts at 4 s.
        static QTemporaryDir folder;
        const QString source = folder.filePath(QStringLiteral("海边日落.mp4"));
        if (!QFileInfo::exists(source)) {
            ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=25:duration=12", "-f", "lavfi",
                                   "-i", "sine=frequency=440:duration=12", "-c:v", "libx264", "-preset", "ultrafast",
                                   "-g", "50", "-pix_fmt", "yuv420p", "-c:a", "aac", source.toStdString()}));
        }
        WriteSetting(QStringLiteral("global"), QStringLiteral("split-lossless"), QStringLiteral("1"));
        QPointer<VideoSplitDialog> dialog = VideoSplitDialog::make(&window(), ImportedItem(source));
        ASSERT_TRUE(dialog);
        dialog->resize(1000, 690);
        dialog->ShowWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        ASSERT_TRUE(WaitFor([&] { return dialog->player() && dialog->player()->statistics().framesShown > 5; }));
        dialog->findControlAs<QAbstractButton>(QStringLiteral("pause"))->click();
        dialog->startEdit()->setText(QStringLiteral("00:00:05"));
        dialog->endEdit()->setText(QStringLiteral("00:00:11"));
        auto* label = dialog->findControlAs<QLabel>(QStringLiteral("video-split-keyframe"));
        ASSERT_TRUE(WaitFor([&] { return label && label->text().contains(QStringLiteral("00:00:04")); }));
        dialog->findControlAs<QAbstractButton>(QStringLiteral("add-video-split-btn"))->click();
        Pump(300);
        // From the screen: the picture is drawn by SDL into a window of its own.
        const QPixmap shot = dialog->screen()->grabWindow(dialog->winId());
        EXPECT_TRUE(shot.save(ShotPath(qPrintable(QStringLiteral("split-dialog-lossless-%1.png").arg(code)))));
        dialog->Close(0);
        EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); }));
        WriteSetting(QStringLiteral("global"), QStringLiteral("split-lossless"), QStringLiteral("0"));
    }
};

TEST_F(LosslessScreenshots, Chinese)
{
    shoot(UiLanguage::Language::Chinese);
}

class EnglishLosslessScreenshots : public LosslessScreenshots {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UiLanguage::install(UiLanguage::Language::English)) << "no English translation";
        LosslessScreenshots::SetUp();
    }
    void TearDown() override
    {
        LosslessScreenshots::TearDown();
        UiLanguage::install(UiLanguage::Language::Chinese);
    }
};

TEST_F(EnglishLosslessScreenshots, English)
{
    shoot(UiLanguage::Language::English);
}

}  // namespace
}  // namespace tolvex::test
