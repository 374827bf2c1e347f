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
    EXPECT_FALSE(tally.pageIdle(PageKind::Convert));
    tally.pageBusy(PageKind::Convert);
    EXPECT_FALSE(tally.pageIdle(PageKind::Convert));

    tally.pageBusy(PageKind::Convert);
    tally.jobEnded(PageKind::Convert, false);
    // More files queued while the page runs belong to the same round.
    tally.pageBusy(PageKind::Convert);
    tally.jobEnded(PageKind::Convert, true);
    tally.jobEnded(PageKind::Convert, false);
    // Another page's jobs are its own.
    tally.pageBusy(PageKind::Mute);
    tally.jobEnded(PageKind::Mute, false);
    const auto convert = tally.pageIdle(PageKind::Convert);
    ASSERT_TRUE(convert);
    EXPECT_EQ(convert->done, 2);
    EXPECT_EQ(convert->failed, 1);

    // The next round starts from nothing.
    tally.pageBusy(PageKind::Convert);
    tally.jobEnded(PageKind::Convert, false);
    const auto next = tally.pageIdle(PageKind::Convert);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->done, 1);
    EXPECT_EQ(next->failed, 0);
    EXPECT_EQ(tally.pageIdle(PageKind::Mute)->done, 1);

    // Page numbers out of range are ignored.
    tally.pageBusy(static_cast<PageKind>(42));
    tally.jobEnded(static_cast<PageKind>(-1), false);
    EXPECT_FALSE(tally.pageIdle(static_cast<PageKind>(42)));
}

TEST(FinishTallyTest, TheNoticeTextCountsFilesAndFailures)
{
    EXPECT_EQ(FinishNotice::noticeText({3, 0}), QStringLiteral("3 个文件已完成"));
    EXPECT_EQ(FinishNotice::noticeText({2, 1}), QStringLiteral("2 个文件已完成，1 个失败"));
}

class FinishNoticeTest : public WindowTest {
protected:
    FinishNotice& finishNotice() { return *window().handler<FinishNotice>(); }
};

TEST_F(FinishNoticeTest, AHiddenWindowIsToldWhenItsQueueRunsEmpty)
{
    ASSERT_NE(window().handler<FinishNotice>(), nullptr);
    addAndWait(PageKind::Mute, {Clip(QStringLiteral("one.mp4")), Clip(QStringLiteral("two.mp4"))});
    // Sent to the tray: the notice comes when the last of the two is done.
    window().hide();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Mute));
    ASSERT_EQ(outputFiles().size(), 2);
    ASSERT_TRUE(finishNotice().lastNotice());
    const FinishNotice::Notice notice = *finishNotice().lastNotice();
    EXPECT_EQ(notice.page, PageKind::Mute);
    EXPECT_EQ(notice.count.done, 2);
    EXPECT_EQ(notice.count.failed, 0);
    EXPECT_EQ(notice.text, QStringLiteral("2 个文件已完成"));
    EXPECT_EQ(QDir(notice.folder), QDir(outputFolder()));

    // A click on the notice opens that folder.
    OpenedUrls opened;
    auto* tray = window().handler<TrayIcon>();
    ASSERT_TRUE(tray && tray->icon());
    emit tray->icon()->messageClicked();
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(QDir(opened.urls.front().toLocalFile()), QDir(outputFolder()));
}

TEST_F(FinishNoticeTest, AMinimisedWindowHearsOfFailuresTooAndAVisibleOneHearsNothing)
{
    // In view: the user sees the page, no notice.
    addAndWait(PageKind::Rotate, {Clip(QStringLiteral("seen.mp4"))});
    ASSERT_TRUE(startAndWaitIdle(PageKind::Rotate));
    EXPECT_EQ(outputFiles().size(), 1);
    EXPECT_FALSE(finishNotice().lastNotice());
    window().pageList(PageKind::Rotate)->removeItem(itemAt(PageKind::Rotate, 0));

    const QString broken = QDir(outputFolder()).filePath(QStringLiteral("../notice-broken.mp4"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    addAndWait(PageKind::Rotate, {broken, Clip(QStringLiteral("good.mp4"))});
    window().showMinimized();
    ASSERT_TRUE(WaitFor([&] { return window().isMinimized(); }, 5000));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Rotate));
    QFile::remove(broken);
    EXPECT_EQ(outputFiles().size(), 2);
    ASSERT_TRUE(finishNotice().lastNotice());
    EXPECT_EQ(finishNotice().lastNotice()->page, PageKind::Rotate);
    EXPECT_EQ(finishNotice().lastNotice()->count.done, 1);
    EXPECT_EQ(finishNotice().lastNotice()->count.failed, 1);
    EXPECT_EQ(finishNotice().lastNotice()->text, QStringLiteral("1 个文件已完成，1 个失败"));
}

}  // namespace
}  // namespace tolvex::test
