// The split and GIF dialogs on their own, with the real player on a generated file: the
// add procedure and its prompts, the rows, the timeline's flags and seeking, the crop
// overlay, the hand-over and the close sequence.

#include "app/Settings.h"
#include "player/PreviewPlayer.h"
#include "tasks/ClipRecords.h"
#include "tests/clip/ClipTestSupport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/TestMedia.h"
#include "ui/clip/CVideoArea.h"
#include "ui/clip/CVideoMask.h"
#include "ui/clip/PositionPoll.h"
#include "ui/clip/VideoGifDialog.h"
#include "ui/clip/VideoSplitDialog.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <SDL.h>

#include <cstdlib>
#include <set>

#include <gtest/gtest.h>

namespace tolvex::test {
namespace {

template <class Dialog>
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SplitClipList().drain();
        GifClipList().drain();
        m_dialog = Dialog::make(nullptr, ImportedItem(TenSecondClip()));
        ASSERT_TRUE(m_dialog);
        m_dialog->setPrompt([this](QWidget*, const QString& text) { m_prompts << text; });
        m_dialog->resize(1000, 700);
        m_dialog->ShowWindow();
        ASSERT_TRUE(WaitFor([this] { return m_dialog->player() && m_dialog->pollRunning(); }, 10000));
    }

    void TearDown() override
    {
        if (m_dialog && !m_dialog->isClosed())
            m_dialog->Close(0);
        EXPECT_TRUE(WaitFor([this] { return m_dialog.isNull(); }, 10000));
    }

    QAbstractButton* button(const char* name)
    {
        return m_dialog->template findControlAs<QAbstractButton>(QLatin1String(name));
    }
    CListUI* list(const char* name) { return m_dialog->template findControlAs<CListUI>(QLatin1String(name)); }

    // Types the two times and clicks the add button; returns the prompt shown, if any.
    QString addTimes(const QString& start, const QString& end, const char* addButton)
    {
        m_prompts.clear();
        m_dialog->startEdit()->setText(start);
        m_dialog->endEdit()->setText(end);
        button(addButton)->click();
        return m_prompts.isEmpty() ? QString() : m_prompts.join(QLatin1Char('|'));
    }

    QPointer<Dialog> m_dialog;
    QStringList m_prompts;
};

using SplitDialogTest = DialogTest<VideoSplitDialog>;
using GifDialogTest = DialogTest<VideoGifDialog>;

TEST_F(SplitDialogTest, StartsPlayingWithTheWholeFileAsTheRange)
{
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("视频分割"));
    EXPECT_EQ(m_dialog->endEdit()->text(), QStringLiteral("00:00:10"));
    EXPECT_FALSE(button("play")->isVisible());
    EXPECT_TRUE(button("pause")->isVisible());
    EXPECT_EQ(m_dialog->player()->state(), PreviewPlayer::StatePlaying);
    // The poll brings position and duration to the timeline and the label.
    ASSERT_TRUE(WaitFor([this] { return m_dialog->timeline()->position() > 0.3; }, 10000));
    EXPECT_NEAR(m_dialog->timeline()->duration(), 10.0, 0.1);
    auto* label = m_dialog->template findControlAs<QLabel>(QStringLiteral("duration"));
    EXPECT_TRUE(label->text().endsWith(QStringLiteral(" / 00:00:10"))) << label->text().toStdString();
    // The picture's window lies over "player-area".
    const QWidget* area = m_dialog->FindControl(QStringLiteral("player-area"));
    EXPECT_EQ(m_dialog->videoArea()->geometry(), QRect(area->mapTo(m_dialog.data(), QPoint()), area->size()));
    EXPECT_TRUE(m_dialog->videoArea()->isVisible());
    EXPECT_GT(m_dialog->player()->statistics().framesShown, 0);

    // The whole file with the untouched end.
    EXPECT_EQ(addTimes(QStringLiteral("00:00:00"), m_dialog->endEdit()->text(), "add-video-split-btn"), QString());
    ASSERT_EQ(m_dialog->clips().size(), 1U);
    const SplitClip& clip = m_dialog->clips().front();
    EXPECT_EQ(clip.endText, "00:00:10");
    EXPECT_EQ(clip.cropEnabled, 0);
    EXPECT_EQ(clip.cropWidth, 320);
    EXPECT_EQ(clip.cropHeight, 240);
    EXPECT_TRUE(QString::fromStdString(clip.outputName).startsWith(QStringLiteral("ten seconds-")));
    EXPECT_TRUE(QString::fromStdString(clip.outputName).endsWith(QStringLiteral(".mp4")));
}

TEST_F(SplitDialogTest, TimesAreCheckedBeforeAClipIsAdded)
{
    const char* add = "add-video-split-btn";
    EXPECT_EQ(addTimes(QString(), QStringLiteral("00:00:05"), add), QStringLiteral("开始时间不能为空!"));
    EXPECT_EQ(addTimes(QStringLiteral("  "), QStringLiteral("00:00:05"), add), QStringLiteral("开始时间不能为空!"));
    EXPECT_EQ(addTimes(QStringLiteral("00:00:01"), QString(), add), QStringLiteral("结束时间不能为空!"));
    EXPECT_EQ(addTimes(QStringLiteral("00:60:00"), QStringLiteral("01:00:00"), add),
              QStringLiteral("开始时间格式错误!"));
    EXPECT_EQ(addTimes(QStringLiteral("1:2"), QStringLiteral("00:00:05"), add), QStringLiteral("开始时间格式错误!"));
    EXPECT_EQ(addTimes(QStringLiteral("00:00:01"), QStringLiteral("00:00:5x"), add),
              QStringLiteral("结束时间格式错误!"));
    // Equal texts ask for a range before the order is looked at.
    EXPECT_EQ(addTimes(QStringLiteral("00:00:05"), QStringLiteral("00:00:05"), add),
              QStringLiteral("请拖动选取分割区域!"));
    EXPECT_EQ(addTimes(QStringLiteral("00:01:00"), QStringLiteral("00:00:30"), add),
              QStringLiteral("开始时间不能大于结束时间!"));
    // Same second, different texts: still the order prompt.
    EXPECT_EQ(addTimes(QStringLiteral("0:0:5"), QStringLiteral("00:00:05"), add),
              QStringLiteral("开始时间不能大于结束时间!"));
    EXPECT_EQ(addTimes(QStringLiteral("00:00:05"), QStringLiteral("00:00:11"), add),
              QStringLiteral("时间不能大于文件时长!"));
    EXPECT_TRUE(m_dialog->clips().empty());
    EXPECT_EQ(list("video-split-list")->count(), 0);
    // What was typed stays.
    EXPECT_EQ(m_dialog->endEdit()->text(), QStringLiteral("00:00:11"));

    // Fields need not have two digits; white space around is cut.
    EXPECT_EQ(addTimes(QStringLiteral(" 0:0:2 "), QStringLiteral("00:00:05"), add), QString());
    ASSERT_EQ(m_dialog->clips().size(), 1U);
    EXPECT_EQ(m_dialog->clips()[0].startText, "0:0:2");
    EXPECT_EQ(addTimes(QStringLiteral("0:0:2"), QStringLiteral("00:00:05"), add),
              QStringLiteral("该片段已存在列表中!"));
    EXPECT_EQ(m_dialog->clips().size(), 1U);
}

TEST_F(SplitDialogTest, RowsShowTheClipsAndRemoveNeverReusesAnId)
{
    const char* add = "add-video-split-btn";
    ASSERT_EQ(addTimes(QStringLiteral("00:00:01"), QStringLiteral("00:00:03"), add), QString());
    ASSERT_EQ(addTimes(QStringLiteral("00:00:04"), QStringLiteral("00:00:06"), add), QString());
    CListUI* rows = list("video-split-list");
    ASSERT_EQ(rows->count(), 2);
    QWidget* row = rows->findItem(QStringLiteral("item-1"));
    ASSERT_TRUE(row);
    EXPECT_EQ(ControlText(FindSubControl(row, QStringLiteral("video-split-starttime"))), QStringLiteral("00:00:04"));
    EXPECT_EQ(ControlText(FindSubControl(row, QStringLiteral("video-split-endtime"))), QStringLiteral("00:00:06"));
    EXPECT_EQ(ControlText(FindSubControl(row, QStringLiteral("video-split-filename"))),
              QString::fromStdString(m_dialog->clips()[1].outputName));
    auto* remove = FindSubControlAs<QAbstractButton>(rows->findItem(QStringLiteral("item-0")),
                                                     QStringLiteral("video-split-remove-btn"));
    ASSERT_TRUE(remove);
    EXPECT_EQ(ControlTag(remove), 0);
    remove->click();
    EXPECT_EQ(rows->count(), 1);
    ASSERT_EQ(m_dialog->clips().size(), 1U);
    EXPECT_EQ(m_dialog->clips()[0].itemId, 1);
    // The removed times may come again, under the next id.
    ASSERT_EQ(addTimes(QStringLiteral("00:00:01"), QStringLiteral("00:00:03"), add), QString());
    EXPECT_EQ(m_dialog->clips().back().itemId, 2);
    EXPECT_TRUE(rows->findItem(QStringLiteral("item-2")));

    // Confirm hands over copies in list order.
    button("video-split-confirm-btn")->click();
    const std::vector<SplitClip> handed = SplitClipList().drain();
    ASSERT_EQ(handed.size(), 2U);
    EXPECT_EQ(handed[0].itemId, 1);
    EXPECT_EQ(handed[1].itemId, 2);
    EXPECT_TRUE(m_dialog->isClosed());
}

TEST_F(SplitDialogTest, TheFlagsSetTheTimesAndTheTrackSeeks)
{
    CVideoPaintViewUI* timeline = m_dialog->timeline();
    ASSERT_TRUE(WaitFor([&] { return timeline->duration() > 9.0 && timeline->startBox().isSet(); }, 10000));
    button("pause")->click();
    EXPECT_TRUE(button("play")->isVisible());
    const TimelineGeometry g = timeline->geometry();
    const int y = g.markerY() + 8;
    // Start flag to a fifth of the track: 2 s.
    const int startFrom = timeline->startBox().x + 3;
    DragAlong(timeline, {startFrom, y}, {g.trackLeft() + g.trackLength() / 5 + 1, y});
    Pump(50);
    EXPECT_EQ(m_dialog->startEdit()->text(), QStringLiteral("00:00:02"));
    // End flag dragged far left stops at the start flag.
    // Just right of the small flag still takes it.
    const int endFrom = timeline->endBox().x + timeline->endBox().width + 2;
    DragAlong(timeline, {endFrom, y}, {g.trackLeft(), y});
    Pump(50);
    EXPECT_EQ(timeline->endBox().x, timeline->startBox().x + timeline->startBox().width);
    EXPECT_EQ(m_dialog->endEdit()->text(), QStringLiteral("00:00:02"));
    // Then out to 3/5: 6 s.
    DragAlong(timeline, {timeline->endBox().x + 3, y}, {g.trackLeft() + g.trackLength() * 3 / 5 + 1, y});
    Pump(50);
    EXPECT_EQ(m_dialog->endEdit()->text(), QStringLiteral("00:00:06"));
    EXPECT_EQ(addTimes(m_dialog->startEdit()->text(), m_dialog->endEdit()->text(), "add-video-split-btn"), QString());

    // A press on the track seeks; paused, the position shows the target at once and keeps
    // showing it, and the player stays paused.
    const int x = g.trackLeft() + g.trackLength() * 7 / 10 + 1;
    Press(timeline, {x, g.top + 4});
    Release(timeline, {x, g.top + 4});
    Pump(50);
    EXPECT_NEAR(timeline->position(), 7.0, 0.05);
    Pump(3 * PositionPoll::kIntervalMs);
    EXPECT_NEAR(timeline->position(), 7.0, 0.05);
    EXPECT_TRUE(m_dialog->player()->paused());
    button("play")->click();
    EXPECT_FALSE(m_dialog->player()->paused());
    EXPECT_TRUE(button("pause")->isVisible());
    // Playing goes on from the place sought.
    ASSERT_TRUE(WaitFor([&] { return timeline->position() > 7.2; }, 5000)) << timeline->position();
    EXPECT_LT(timeline->position(), 9.5);
    // Seeking while playing: playback goes on from the new place.
    const int x3 = g.trackLeft() + g.trackLength() * 3 / 10 + 1;
    Press(timeline, {x3, g.top + 4});
    Release(timeline, {x3, g.top + 4});
    ASSERT_TRUE(WaitFor([&] { return std::abs(timeline->position() - 3.3) < 0.8; }, 5000)) << timeline->position();
}

TEST_F(SplitDialogTest, SeekingNearTheEndPausesAtTheEndAndShowsPlay)
{
    const TimelineGeometry g = m_dialog->timeline()->geometry();
    ASSERT_TRUE(WaitFor([&] { return m_dialog->timeline()->duration() > 9.0; }, 10000));
    const int x = g.trackLeft() + g.trackLength() * 9 / 10;
    Press(m_dialog->timeline(), {x, g.top + 4});
    Release(m_dialog->timeline(), {x, g.top + 4});
    ASSERT_TRUE(WaitFor([&] { return m_dialog->stopped(); }, 5000));
    EXPECT_TRUE(button("play")->isVisible());
    EXPECT_FALSE(button("pause")->isVisible());
    EXPECT_TRUE(m_dialog->player()->paused());
}

TEST_F(SplitDialogTest, EnterInATimeEditAddsNothingAndEscapeCancels)
{
    m_dialog->startEdit()->setText(QStringLiteral("00:00:01"));
    m_dialog->startEdit()->setFocus();
    QTest::keyClick(m_dialog->startEdit(), Qt::Key_Return);
    QTest::keyClick(m_dialog->endEdit(), Qt::Key_Enter);
    EXPECT_TRUE(m_dialog->clips().empty());
    EXPECT_TRUE(m_prompts.isEmpty());
    // Every control can be named by a screen reader.
    for (const char* name :
         {"play", "pause", "sound-slider", "video-split-starttime", "video-split-endtime", "add-video-split-btn",
          "cut-video-btn", "video-split-confirm-btn", "video-split-cancel-btn", "video-split-list"}) {
        QWidget* control = m_dialog->FindControl(QLatin1String(name));
        ASSERT_TRUE(control) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
    }
    EXPECT_FALSE(m_dialog->timeline()->accessibleName().isEmpty());
    // Tab goes from the start edit to the end edit and on to the add button.
    auto nextTabStop = [](QWidget* from) {
        QWidget* w = from->nextInFocusChain();
        while (w != from && !((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()))
            w = w->nextInFocusChain();
        return w;
    };
    EXPECT_EQ(nextTabStop(m_dialog->startEdit()), m_dialog->endEdit());
    EXPECT_EQ(nextTabStop(m_dialog->endEdit()), button("add-video-split-btn"));
    QTest::keyClick(m_dialog.data(), Qt::Key_Escape);
    EXPECT_TRUE(m_dialog->isClosed());
    EXPECT_TRUE(SplitClipList().drain().empty());
}

TEST_F(SplitDialogTest, TheCropOverlayFollowsTheDialogAndMapsToVideoPixels)
{
    QAbstractButton* cut = button("cut-video-btn");
    EXPECT_EQ(cut->text(), QStringLiteral("启用裁剪"));
    cut->click();
    EXPECT_EQ(cut->text(), QStringLiteral("取消裁剪"));
    CVideoMask* mask = m_dialog->overlay();
    ASSERT_TRUE(mask);
    ASSERT_TRUE(WaitFor([&] { return mask->isVisible(); }, 5000));
    // Over the video area, two pixels larger on every side.
    const QRect area(m_dialog->videoArea()->mapToGlobal(QPoint()), m_dialog->videoArea()->size());
    EXPECT_EQ(mask->geometry(), area.adjusted(-2, -2, 2, 2));
    const QSize size = mask->size();
    const CropRect initial = mask->editor().roiRect();
    EXPECT_EQ(initial, (CropRect{(size.width() - size.width() / 2) / 2, (size.height() - size.height() / 2) / 2,
                                 size.width() / 2, size.height() / 2}));

    // The bottom-right corner dragged outward.
    const QPoint corner(initial.x + initial.width, initial.y + initial.height);
    DragAlong(mask, corner, corner + QPoint(60, 40));
    const CropRect dragged = mask->editor().roiRect();
    EXPECT_EQ(dragged, (CropRect{initial.x, initial.y, initial.width + 60, initial.height + 40}));

    ASSERT_EQ(addTimes(QStringLiteral("00:00:06"), QStringLiteral("00:00:08"), "add-video-split-btn"), QString());
    const SplitClip clip = m_dialog->clips().back();
    EXPECT_EQ(clip.cropEnabled, 1);
    const CropRect expected = mask->editor().ToVideoPixels(320, 240);
    EXPECT_EQ(clip.cropX, expected.x);
    EXPECT_EQ(clip.cropWidth, expected.width);
    EXPECT_EQ(clip.cropWidth % 2, 0);
    EXPECT_EQ(clip.cropHeight % 2, 0);
    EXPECT_LE(clip.cropX + clip.cropWidth, 320);
    EXPECT_LE(clip.cropY + clip.cropHeight, 240);

    // A move keeps the rectangle and the overlay follows.
    m_dialog->move(m_dialog->pos() + QPoint(40, 30));
    ASSERT_TRUE(WaitFor(
        [&] { return mask->geometry().topLeft() == m_dialog->videoArea()->mapToGlobal(QPoint()) - QPoint(2, 2); },
        5000));
    EXPECT_EQ(mask->editor().roiRect(), dragged);
    // A bigger dialog scales the rectangle; back to the old size brings it back exactly.
    const QSize before = m_dialog->size();
    m_dialog->resize(before + QSize(200, 150));
    ASSERT_TRUE(WaitFor([&] { return mask->size() != size; }, 5000));
    EXPECT_GT(mask->editor().roiRect().width, dragged.width);
    m_dialog->resize(before);
    ASSERT_TRUE(WaitFor([&] { return mask->size() == size; }, 5000));
    EXPECT_EQ(mask->editor().roiRect(), dragged);

    // Off hides the overlay and gives clips the whole frame; on again shows the same rectangle.
    cut->click();
    EXPECT_EQ(cut->text(), QStringLiteral("启用裁剪"));
    EXPECT_FALSE(mask->isVisible());
    ASSERT_EQ(addTimes(QStringLiteral("00:00:01"), QStringLiteral("00:00:02"), "add-video-split-btn"), QString());
    EXPECT_EQ(m_dialog->clips().back().cropEnabled, 0);
    EXPECT_EQ(m_dialog->clips().back().cropWidth, 320);
    cut->click();
    EXPECT_TRUE(mask->isVisible());
    EXPECT_EQ(mask->editor().roiRect(), dragged);
}

TEST_F(SplitDialogTest, ClosingWhilePlayingLeavesNothingBehind)
{
    ASSERT_TRUE(WaitFor([this] { return m_dialog->player()->statistics().framesShown > 3; }, 10000));
    button("cut-video-btn")->click();
    QPointer<CVideoMask> mask = m_dialog->overlay();
    button("video-split-cancel-btn")->click();
    EXPECT_TRUE(m_dialog->isClosed());
    // Stopped before the window went.
    EXPECT_FALSE(m_dialog->pollRunning());
    EXPECT_EQ(m_dialog->player(), nullptr);
    EXPECT_TRUE(WaitFor([this] { return m_dialog.isNull(); }, 10000));
    EXPECT_TRUE(mask.isNull());
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_TIMER), 0U);
    EXPECT_TRUE(SplitClipList().drain().empty());
}

TEST(ClipDialogLifeTest, OpenAndCloseAgainAndAgainLeavesNoThread)
{
    // A first round brings up what Qt and the X connection keep for the whole run.
    auto round = [] {
        QPointer<VideoSplitDialog> dialog = VideoSplitDialog::make(nullptr, ImportedItem(TenSecondClip()));
        ASSERT_TRUE(dialog);
        dialog->ShowWindow();
        ASSERT_TRUE(WaitFor([&] { return dialog->player() && dialog->player()->statistics().framesShown > 0; }, 10000));
        dialog->Close(0);
        ASSERT_TRUE(WaitFor([&] { return dialog.isNull(); }, 10000));
    };
    round();
    Pump(200);
    const int threads = ThreadCount();
    for (int i = 0; i < 3; ++i)
        round();
    Pump(200);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_TIMER), 0U);
}

TEST_F(GifDialogTest, GifClipsAreNamedForGifAndHandedOverInOrder)
{
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("视频转GIF"));
    EXPECT_EQ(m_dialog->FindControl(QStringLiteral("cut-video-btn")), nullptr);
    EXPECT_EQ(m_dialog->timeline()->GetClass(), QStringLiteral("VideoGifPaintView"));
    const char* add = "add-video-gif-btn";
    EXPECT_EQ(addTimes(QStringLiteral("00:00:03"), QStringLiteral("00:00:03"), add),
              QStringLiteral("请拖动选取Gif转换片段区域!"));
    EXPECT_EQ(addTimes(QStringLiteral("00:00:04"), QStringLiteral("00:00:03"), add),
              QStringLiteral("开始时间不能大于结束时间!"));
    for (int s : {1, 3, 5})
        ASSERT_EQ(addTimes(QStringLiteral("00:00:0%1").arg(s), QStringLiteral("00:00:0%1").arg(s + 1), add), QString());
    EXPECT_EQ(addTimes(QStringLiteral("00:00:03"), QStringLiteral("00:00:04"), add),
              QStringLiteral("该片段已存在列表中!"));
    ASSERT_EQ(m_dialog->clips().size(), 3U);
    // Clips added within one second still get names of their own.
    std::set<std::string> names;
    for (const SplitClip& clip : m_dialog->clips())
        names.insert(clip.outputName);
    EXPECT_EQ(names.size(), 3U);
    const QString name = QString::fromStdString(m_dialog->clips()[0].outputName);
    EXPECT_TRUE(name.startsWith(QStringLiteral("ten seconds-"))) << name.toStdString();
    EXPECT_TRUE(name.endsWith(QStringLiteral(".gif")));
    auto* row = list("video-gif-list")->findItem(QStringLiteral("item-2"));
    ASSERT_TRUE(row);
    EXPECT_EQ(ControlText(FindSubControl(row, QStringLiteral("video-gif-starttime"))), QStringLiteral("00:00:05"));

    button("video-gif-confirm-btn")->click();
    const std::vector<GifClip> handed = GifClipList().drain();
    ASSERT_EQ(handed.size(), 3U);
    EXPECT_EQ(handed[0].startText, "00:00:01");
    EXPECT_EQ(handed[2].startText, "00:00:05");
    EXPECT_TRUE(SplitClipList().drain().empty());
}

TEST_F(GifDialogTest, BestPictureMarksTheClipsAndIsRememberedForTheNextDialog)
{
    auto* best = button("video-gif-best-picture");
    ASSERT_TRUE(best);
    EXPECT_EQ(best->text(), QStringLiteral("画质优先"));
    // Nothing remembered yet in this program's private settings: the described GIF.
    EXPECT_FALSE(best->isChecked());
    // On the box itself: the control is wider than its box and text.
    QTest::mouseClick(best, Qt::LeftButton, {}, QPoint(8, best->height() / 2));
    EXPECT_TRUE(best->isChecked());
    ASSERT_EQ(addTimes(QStringLiteral("00:00:01"), QStringLiteral("00:00:02"), "add-video-gif-btn"), QString());
    button("video-gif-confirm-btn")->click();
    std::vector<GifClip> handed = GifClipList().drain();
    ASSERT_EQ(handed.size(), 1U);
    EXPECT_TRUE(handed[0].bestPicture);

    // The next dialog starts with the choice; unticking it there is remembered too.
    for (const bool expected : {true, false}) {
        QPointer<VideoGifDialog> next = VideoGifDialog::make(nullptr, ImportedItem(TenSecondClip()));
        ASSERT_TRUE(next);
        next->ShowWindow();
        auto* box = next->template findControlAs<QAbstractButton>(QStringLiteral("video-gif-best-picture"));
        ASSERT_TRUE(box);
        EXPECT_EQ(box->isChecked(), expected);
        if (expected) {
            QTest::keyClick(box, Qt::Key_Space);
            EXPECT_FALSE(next->bestPicture());
        }
        next->Close(0);
        ASSERT_TRUE(WaitFor([&] { return next.isNull(); }, 10000));
    }
}

TEST(ClipPromptTest, ThePromptIsTheSkinnedBox)
{
    QPointer<VideoGifDialog> dialog = VideoGifDialog::make(nullptr, ImportedItem(TenSecondClip()));
    ASSERT_TRUE(dialog);
    dialog->ShowWindow();
    dialog->startEdit()->clear();
    QString shown;
    WhenWindowOpens(QStringLiteral("PromptBoxDialog"), [&shown](QWidget* box) {
        if (auto* text = box->findChild<QLabel*>(QStringLiteral("msgText")))
            shown = text->text();
        if (auto* ok = box->findChild<QAbstractButton*>(QStringLiteral("msgConfirm")))
            ok->click();
    });
    dialog->template findControlAs<QAbstractButton>(QStringLiteral("add-video-gif-btn"))->click();
    EXPECT_EQ(shown, QStringLiteral("开始时间不能为空!"));
    dialog->Close(0);
    EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); }, 10000));
}

TEST(SplitLosslessTest, TheBoxShowsTheKeyFrameStartRemembersItselfAndGivesWayToTheCrop)
{
    // Key frames at 0, 2, 4 s.
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("two-second gops.mp4"));
    ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=6", "-c:v", "libx264",
                           "-preset", "ultrafast", "-g", "50", "-keyint_min", "50", "-sc_threshold", "0", "-pix_fmt",
                           "yuv420p", path.toStdString()}));
    WriteSetting(QStringLiteral("global"), QStringLiteral("split-lossless"), QStringLiteral("0"));
    QPointer<VideoSplitDialog> dialog = VideoSplitDialog::make(nullptr, ImportedItem(path));
    ASSERT_TRUE(dialog);
    dialog->resize(1000, 700);
    dialog->ShowWindow();
    QCheckBox* box = dialog->losslessBox();
    ASSERT_TRUE(box);
    auto* label = dialog->findControlAs<QLabel>(QStringLiteral("video-split-keyframe"));
    ASSERT_TRUE(label);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(label->isVisible());

    box->click();
    QString value;
    ReadSetting(QStringLiteral("global"), QStringLiteral("split-lossless"), QString(), value, 0);
    EXPECT_EQ(value, QStringLiteral("1"));
    dialog->startEdit()->setText(QStringLiteral("00:00:03"));
    ASSERT_TRUE(WaitFor([&] { return label->text() == QStringLiteral("实际开始 00:00:02（关键帧）"); }, 10000))
        << label->text().toStdString();
    EXPECT_TRUE(label->isVisible());
    dialog->endEdit()->setText(QStringLiteral("00:00:05"));
    dialog->findControlAs<QAbstractButton>(QStringLiteral("add-video-split-btn"))->click();
    ASSERT_EQ(dialog->clips().size(), 1U);
    EXPECT_EQ(dialog->clips().front().lossless, 1);
    EXPECT_NEAR(dialog->clips().front().keyFrameSeconds, 2.0, 1e-6);
    // The row shows where the clip really starts.
    QWidget* row = dialog->findControlAs<CListUI>(QStringLiteral("video-split-list"))->itemAt(0);
    EXPECT_EQ(ControlText(FindSubControl(row, QStringLiteral("video-split-starttime"))), QStringLiteral("00:00:02"));

    // The crop unticks and locks the box, without changing what is remembered.
    dialog->findControlAs<QAbstractButton>(QStringLiteral("cut-video-btn"))->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(label->isVisible());
    ReadSetting(QStringLiteral("global"), QStringLiteral("split-lossless"), QString(), value, 0);
    EXPECT_EQ(value, QStringLiteral("1"));
    dialog->findControlAs<QAbstractButton>(QStringLiteral("cut-video-btn"))->click();
    EXPECT_TRUE(box->isEnabled());

    dialog->Close(0);
    EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); }, 10000));
    // A new dialog comes with the box as it was last ticked.
    dialog = VideoSplitDialog::make(nullptr, ImportedItem(path));
    ASSERT_TRUE(dialog);
    dialog->ShowWindow();
    EXPECT_TRUE(dialog->losslessBox()->isChecked());
    dialog->Close(0);
    EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); }, 10000));
}

TEST(ClipRotationTest, ASidewaysPhoneVideoIsShownUprightBetweenBarsAndCroppedInItsUprightSize)
{
    QPointer<VideoSplitDialog> dialog = VideoSplitDialog::make(nullptr, ImportedItem(RotatedClip()));
    ASSERT_TRUE(dialog);
    dialog->resize(1000, 700);
    dialog->ShowWindow();
    ASSERT_TRUE(WaitFor([&] { return dialog->player() != nullptr; }, 10000));
    EXPECT_TRUE(dialog->source().sideways());
    EXPECT_EQ(dialog->player()->rotation(), dialog->source().uprightTurn);
    ASSERT_TRUE(WaitFor([&] { return dialog->player()->statistics().framesShown > 5; }, 10000));
    CVideoArea* area = dialog->videoArea();
    // The portrait picture keeps its aspect in the landscape area: black bars left and
    // right, the picture (240 wide for 320 high) in the middle.
    const int pictureWidth = area->height() * 240 / 320;
    const int barWidth = (area->width() - pictureWidth) / 2;
    ASSERT_GT(barWidth, 20);
    QImage shot;
    auto barsShown = [&] {
        shot = area->screen()->grabWindow(area->winId()).toImage();
        return !shot.isNull() && qGray(shot.pixel(barWidth / 2, shot.height() / 2)) < 16 &&
               qGray(shot.pixel(shot.width() - barWidth / 2, shot.height() / 2)) < 16 &&
               qGray(shot.pixel(shot.width() / 2, shot.height() / 2)) > 16;
    };
    EXPECT_TRUE(WaitFor(barsShown, 5000));
    if (const char* keep = std::getenv("TOLVEX_SHOT"))
        shot.save(QString::fromLocal8Bit(keep));
    // Upright, testsrc2's colour bars run across the picture: it changes from top to
    // bottom far more than from left to right.
    long across = 0;
    long down = 0;
    for (int y = shot.height() / 4; y < shot.height() * 3 / 4; y += 4) {
        for (int x = barWidth + pictureWidth / 4; x < barWidth + pictureWidth * 3 / 4; x += 4) {
            across += std::abs(qGray(shot.pixel(x + 4, y)) - qGray(shot.pixel(x, y)));
            down += std::abs(qGray(shot.pixel(x, y + 4)) - qGray(shot.pixel(x, y)));
        }
    }
    EXPECT_GT(down, across * 2) << "down " << down << " across " << across;
    EXPECT_EQ(dialog->source().uprightWidth(), 240);
    EXPECT_EQ(dialog->source().uprightHeight(), 320);
    dialog->setPrompt([](QWidget*, const QString&) {});
    dialog->startEdit()->setText(QStringLiteral("00:00:00"));
    dialog->template findControlAs<QAbstractButton>(QStringLiteral("add-video-split-btn"))->click();
    ASSERT_EQ(dialog->clips().size(), 1U);
    EXPECT_EQ(dialog->clips()[0].cropWidth, 240);
    EXPECT_EQ(dialog->clips()[0].cropHeight, 320);
    dialog->template findControlAs<QAbstractButton>(QStringLiteral("cut-video-btn"))->click();
    // The overlay lies over the picture, not over the bars.
    const QRect overlay = dialog->overlayRect();
    EXPECT_NEAR(overlay.width() - 4, pictureWidth, 2);
    EXPECT_NEAR(overlay.height() - 4, area->height(), 2);
    EXPECT_NEAR(overlay.left() + 2, area->mapToGlobal(QPoint(barWidth, 0)).x(), 2);
    dialog->endEdit()->setText(QStringLiteral("00:00:01"));
    dialog->template findControlAs<QAbstractButton>(QStringLiteral("add-video-split-btn"))->click();
    ASSERT_EQ(dialog->clips().size(), 2U);
    // The centred half-size rectangle of the upright picture.
    EXPECT_NEAR(dialog->clips()[1].cropWidth, 120, 2);
    EXPECT_NEAR(dialog->clips()[1].cropHeight, 160, 2);
    EXPECT_NEAR(dialog->clips()[1].cropX, 60, 2);
    EXPECT_NEAR(dialog->clips()[1].cropY, 80, 2);
    dialog->Close(0);
    EXPECT_TRUE(WaitFor([&] { return dialog.isNull(); }, 10000));
}

}  // namespace
}  // namespace tolvex::test
