// The finish notice: the count of one round of a page's queue, and the notice a hidden or
// minimised window gets when its queue runs empty after real ffmpeg jobs, whose click
// opens the output folder.

#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/CListUI.h"
#include "ui/main/FinishNotice.h"
#include "ui/main/FinishTally.h"
#include "ui/main/TrayIcon.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSystemTrayIcon>
#include <QTest>
#include <QUrl>

namespace tolvex::test {
namespace {

TEST(FinishTallyTest, ARoundCountsItsEndsAndOnlyARoundThatDidWorkIsReported)
{
    FinishTally tally;
    // Idle without having started, or started and cleared before any job ended: nothing.
    EXPECT_FALSE(tally.PageIdle(PageKind::Convert));
    tally.PageBusy(PageKind::Convert);
    EXPECT_FALSE(tally.PageIdle(PageKind::Convert));

    tally.PageBusy(PageKind::Convert);
    tally.JobEnded(PageKind::Convert, false);
    // More files queued while the page runs belong to the same round.
    tally.PageBusy(PageKind::Convert);
    tally.JobEnded(PageKind::Convert, true);
    tally.JobEnded(PageKind::Convert, false);
    // Another page's jobs are its own.
    tally.PageBusy(PageKind::Mute);
    tally.JobEnded(PageKind::Mute, false);
    const auto convert = tally.PageIdle(PageKind::Convert);
    ASSERT_TRUE(convert);
    EXPECT_EQ(convert->done, 2);
    EXPECT_EQ(convert->failed, 1);

    // The next round starts from nothing.
    tally.PageBusy(PageKind::Convert);
    tally.JobEnded(PageKind::Convert, false);
    const auto next = tally.PageIdle(PageKind::Convert);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->done, 1);
    EXPECT_EQ(next->failed, 0);
    EXPECT_EQ(tally.PageIdle(PageKind::Mute)->done, 1);

    // Page numbers out of range are ignored.
    tally.PageBusy(static_cast<PageKind>(42));
    tally.JobEnded(static_cast<PageKind>(-1), false);
    EXPECT_FALSE(tally.PageIdle(static_cast<PageKind>(42)));
}

TEST(FinishTallyTest, TheNoticeTextCountsFilesAndFailures)
{
    EXPECT_EQ(FinishNotice::NoticeText({3, 0}), QStringLiteral("3 个文件已完成"));
    EXPECT_EQ(FinishNotice::NoticeText({2, 1}), QStringLiteral("2 个文件已完成，1 个失败"));
}

class FinishNoticeTest : public WindowTest {
protected:
    FinishNotice& Notice() { return *Window().Handler<FinishNotice>(); }
};

// Takes the folders the program asks the desktop to open, instead of a file manager.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(FinishNoticeTest, AHiddenWindowIsToldWhenItsQueueRunsEmpty)
{
    ASSERT_NE(Window().Handler<FinishNotice>(), nullptr);
    AddAndWait(PageKind::Mute, {Clip(QStringLiteral("one.mp4")), Clip(QStringLiteral("two.mp4"))});
    // Sent to the tray: the notice comes when the last of the two is done.
    Window().hide();
    ASSERT_TRUE(StartAndWaitIdle(PageKind::Mute));
    ASSERT_EQ(OutputFiles().size(), 2);
    ASSERT_TRUE(Notice().LastNotice());
    const FinishNotice::Notice notice = *Notice().LastNotice();
    EXPECT_EQ(notice.page, PageKind::Mute);
    EXPECT_EQ(notice.count.done, 2);
    EXPECT_EQ(notice.count.failed, 0);
    EXPECT_EQ(notice.text, QStringLiteral("2 个文件已完成"));
    EXPECT_EQ(QDir(notice.folder), QDir(OutputFolder()));

    // A click on the notice opens that folder.
    OpenedUrls opened;
    auto* tray = Window().Handler<TrayIcon>();
    ASSERT_TRUE(tray && tray->Icon());
    emit tray->Icon()->messageClicked();
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(QDir(opened.urls.front().toLocalFile()), QDir(OutputFolder()));
}

TEST_F(FinishNoticeTest, AMinimisedWindowHearsOfFailuresTooAndAVisibleOneHearsNothing)
{
    // In view: the user sees the page, no notice.
    AddAndWait(PageKind::Rotate, {Clip(QStringLiteral("seen.mp4"))});
    ASSERT_TRUE(StartAndWaitIdle(PageKind::Rotate));
    EXPECT_EQ(OutputFiles().size(), 1);
    EXPECT_FALSE(Notice().LastNotice());
    Window().PageList(PageKind::Rotate)->removeItem(ItemAt(PageKind::Rotate, 0));

    const QString broken = QDir(OutputFolder()).filePath(QStringLiteral("../notice-broken.mp4"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    AddAndWait(PageKind::Rotate, {broken, Clip(QStringLiteral("good.mp4"))});
    Window().showMinimized();
    ASSERT_TRUE(WaitFor([&] { return Window().isMinimized(); }, 5000));
    ASSERT_TRUE(StartAndWaitIdle(PageKind::Rotate));
    QFile::remove(broken);
    EXPECT_EQ(OutputFiles().size(), 2);
    ASSERT_TRUE(Notice().LastNotice());
    EXPECT_EQ(Notice().LastNotice()->page, PageKind::Rotate);
    EXPECT_EQ(Notice().LastNotice()->count.done, 1);
    EXPECT_EQ(Notice().LastNotice()->count.failed, 1);
    EXPECT_EQ(Notice().LastNotice()->text, QStringLiteral("1 个文件已完成，1 个失败"));
}

}  // namespace
}  // namespace tolvex::test

#include "FinishNoticeTest.moc"
