// A running job's time left on its item and on the merge page, the time a finished job
// took, and the retry button of a failed item, with the real ffmpeg on clips large enough
// to take a few seconds.

#include "app/Helpers.h"
#include "tasks/ClipRecords.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/ListItemNames.h"
#include "ui/main/PageTasks.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QTimer>

#include <vector>

namespace tolvex::test {
namespace {

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

// "剩余 1:02" / "用时 0:12" → seconds; -1 for any other text.
int SecondsIn(const QString& text, const QString& prefix)
{
    static const QRegularExpression clock(QStringLiteral("^(?:(\\d+):)?(\\d+):(\\d\\d)$"));
    if (!text.startsWith(prefix))
        return -1;
    const QRegularExpressionMatch match = clock.match(text.mid(prefix.size()));
    if (!match.hasMatch())
        return -1;
    return match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 + match.captured(3).toInt();
}

// Every estimate a label shows while the page's job runs, read every 20 ms.
class LabelWatch {
public:
    explicit LabelWatch(QLabel* label)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, label] {
            const int seconds = SecondsIn(label->text(), QStringLiteral("剩余 "));
            if (seconds >= 0 && (m_seen.empty() || m_seen.back() != seconds))
                m_seen.push_back(seconds);
        });
        m_timer.start(20);
    }
    const std::vector<int>& seen() const { return m_seen; }

private:
    QTimer m_timer;
    std::vector<int> m_seen;
};

void ExpectCountsDown(const std::vector<int>& seen)
{
    ASSERT_GE(seen.size(), 2u) << "the estimate was shown and changed while the job ran";
    EXPECT_LT(seen.back(), seen.front());
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_LE(seen[i], seen[i - 1] + 2) << "no jumps up, at " << i;
}

class WindowTimeLeftTest : public WindowTest {};

TEST_F(WindowTimeLeftTest, RunningItemCountsDownAndTheFinishedItemShowsWhatItTook)
{
    addAndWait(PageKind::Convert, {LargeClip(QStringLiteral("long.mp4"), 16.0)});
    QWidget* item = itemAt(PageKind::Convert, 0);
    auto* left = FindSubControlAs<QLabel>(item, QStringLiteral("time-left"));
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(left->text().isEmpty());
    LabelWatch watch(left);
    ASSERT_TRUE(startAndWaitIdle(PageKind::Convert));
    ExpectCountsDown(watch.seen());
    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("100%"));
    const int took = SecondsIn(left->text(), QStringLiteral("用时 "));
    EXPECT_GE(took, 1) << left->text().toStdString();
    // Shown beside the percentage, not clipped.
    EXPECT_TRUE(left->isVisible());
    EXPECT_TRUE(WaitFor([&] { return left->width() >= left->sizeHint().width(); }, 5000))
        << left->width() << " < " << left->sizeHint().width();
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 1);
    const ProbedFile probed = ProbeFile(QDir(outputFolder()).filePath(files.front()));
    EXPECT_TRUE(probed.hasVideo);
    EXPECT_NEAR(probed.duration, 16.0, 0.5);
}

TEST_F(WindowTimeLeftTest, MergePageShowsTheTimeLeftOfTheWholeMerge)
{
    addAndWait(PageKind::Merge, {LargeClip(QStringLiteral("m1.mp4"), 6.0), LargeClip(QStringLiteral("m2.mp4"), 6.0)});
    window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
    auto* left = window().findControlAs<QLabel>(QStringLiteral("video-merge-time-left"));
    ASSERT_NE(left, nullptr);
    LabelWatch watch(left);
    ASSERT_TRUE(startAndWaitIdle(PageKind::Merge));
    ExpectCountsDown(watch.seen());
    // The finished merge shows what it took.
    EXPECT_GE(SecondsIn(left->text(), QStringLiteral("用时 ")), 1) << left->text().toStdString();
    ASSERT_EQ(outputFiles().size(), 1);
    EXPECT_NEAR(ProbeFile(QDir(outputFolder()).filePath(outputFiles().front())).duration, 12.0, 0.5);
}

TEST_F(WindowTimeLeftTest, FailedItemTellsWhyAndItsRetryWritesTheFileUnderAFreshName)
{
    QTemporaryDir inputs;
    const QString input = inputs.filePath(QStringLiteral("r.mp4"));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("retry-source.mp4")), input));
    addAndWait(PageKind::Convert, {input});
    QWidget* item = itemAt(PageKind::Convert, 0);
    // The stamped name is taken already: the job's file gets "-1".
    const QString stamped = textIn(item, "output-filename");
    QFile taken(QDir(outputFolder()).filePath(stamped));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    // The input goes away before the job starts: ffmpeg cannot open it.
    ASSERT_TRUE(QFile::rename(input, input + QStringLiteral(".away")));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Convert));

    auto* retry = FindSubControlAs<QPushButton>(item, QStringLiteral("retry-btn"));
    ASSERT_NE(retry, nullptr);
    EXPECT_TRUE(retry->isVisible());
    EXPECT_TRUE(FindSubControl(item, QStringLiteral("video-progress-error"))->isVisible());
    EXPECT_TRUE(item->toolTip().contains(QStringLiteral("No such file"))) << item->toolTip().toStdString();
    const QString failedName = textIn(item, "output-filename");
    EXPECT_NE(failedName, stamped);
    EXPECT_EQ(outputFiles(), QStringList{stamped}) << "the failed run's file was deleted";

    // The cause is mended; the retry comes a clock second later than the first run.
    ASSERT_TRUE(QFile::rename(input + QStringLiteral(".away"), input));
    const QString second = QTime::currentTime().toString(QStringLiteral("HHmmss"));
    ASSERT_TRUE(WaitFor([&] { return QTime::currentTime().toString(QStringLiteral("HHmmss")) != second; }));
    QTest::mouseClick(retry, Qt::LeftButton);
    EXPECT_TRUE(tasks().engine().isPageBusy(PageKind::Convert));
    EXPECT_FALSE(retry->isVisible());
    ASSERT_TRUE(WaitFor([&] { return !tasks().engine().isPageBusy(PageKind::Convert); }, 120000));

    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("100%"));
    EXPECT_FALSE(retry->isVisible());
    EXPECT_FALSE(FindSubControl(item, QStringLiteral("video-progress-error"))->isVisible());
    const QString written = textIn(item, "output-filename");
    // A new name from the input's own stem: not the failed run's name with more numbers.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^r-\\d{6}(-1)?\\.mp4$")).match(written).hasMatch())
        << written.toStdString();
    EXPECT_NE(written, failedName);
    EXPECT_NE(written, stamped);
    const ProbedFile probed = ProbeFile(QDir(outputFolder()).filePath(written));
    EXPECT_TRUE(probed.ok);
    EXPECT_TRUE(probed.hasVideo);
    EXPECT_NEAR(probed.duration, 2.0, 0.5);
}

TEST_F(WindowTimeLeftTest, RetryOnTheOtherSingleFilePagesTheClipPagesAndTheMergePage)
{
    window().findControlAs<QLineEdit>(QStringLiteral("bg-music-edit"))->setText(Tone(QStringLiteral("bg.wav")));
    QTemporaryDir inputs;
    // The page's only item fails while `input` is away; its retry, clicked once the input
    // is back, writes one new file.
    auto failThenRetry = [&](PageKind page, const QString& input) {
        SCOPED_TRACE(static_cast<int>(page));
        ASSERT_TRUE(QFile::rename(input, input + QStringLiteral(".away")));
        const QStringList before = outputFiles();
        ASSERT_TRUE(startAndWaitIdle(page));
        QWidget* item = itemAt(page, 0);
        auto* retry = FindSubControlAs<QPushButton>(item, QStringLiteral("retry-btn"));
        ASSERT_NE(retry, nullptr);
        window().selectPage(page);
        ASSERT_TRUE(WaitFor([&] { return retry->isVisible(); }, 5000));
        EXPECT_FALSE(item->toolTip().isEmpty());
        EXPECT_EQ(outputFiles(), before);

        ASSERT_TRUE(QFile::rename(input + QStringLiteral(".away"), input));
        QTest::mouseClick(retry, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return !tasks().engine().isPageBusy(page); }, 120000));
        EXPECT_EQ(textIn(item, ListItemNamesFor(page).progressLabel), QStringLiteral("100%"));
        EXPECT_TRUE(item->toolTip().isEmpty());
        EXPECT_FALSE(retry->isVisible());
        QStringList written = outputFiles();
        for (const QString& file : before)
            written.removeAll(file);
        ASSERT_EQ(written.size(), 1);
        EXPECT_TRUE(ProbeFile(QDir(outputFolder()).filePath(written.front())).ok);
    };
    for (const PageKind page :
         {PageKind::Compress, PageKind::Rotate, PageKind::Extract, PageKind::Mute, PageKind::Music}) {
        const QString input = inputs.filePath(QStringLiteral("p%1.mp4").arg(static_cast<int>(page)));
        ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("retry-source.mp4")), input));
        addAndWait(page, {input});
        failThenRetry(page, input);
    }

    // A split clip and a gif clip, as their dialogs hand them over.
    const QString source = inputs.filePath(QStringLiteral("clipsrc.mp4"));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("retry-source.mp4")), source));
    SplitClip split;
    split.sourcePath = source.toStdString();
    split.outputName = "clipsrc-120000.mp4";
    split.startText = "0:0:0";
    split.endText = "0:0:1";
    split.cropWidth = 160;  // cropping off: the whole frame
    split.cropHeight = 120;
    SplitClipList().append(split);
    PostMessageTo(&window(), WM_SPLIT_CLIPS_READY);
    GifClip gif;
    gif.sourcePath = source.toStdString();
    gif.outputName = "clipsrc-120001.gif";
    gif.startText = "0:0:0";
    gif.endText = "0:0:1";
    GifClipList().append(gif);
    PostMessageTo(&window(), WM_GIF_CLIPS_READY);
    ASSERT_TRUE(WaitFor([&] {
        return window().pageList(PageKind::Split)->count() == 1 && window().pageList(PageKind::Gif)->count() == 1;
    }));
    failThenRetry(PageKind::Split, source);
    failThenRetry(PageKind::Gif, source);

    // The merge page: an input gone before the merge starts fails it; retry runs it again.
    window().selectPage(PageKind::Merge);
    const QString second = inputs.filePath(QStringLiteral("m2.mp4"));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("retry-source.mp4")), second));
    addAndWait(PageKind::Merge, {Clip(QStringLiteral("retry-source.mp4")), second});
    window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
    ASSERT_TRUE(QFile::rename(second, second + QStringLiteral(".away")));
    const QStringList before = outputFiles();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Merge));
    auto* retry = window().findControlAs<QPushButton>(QStringLiteral("video-merge-retry-btn"));
    ASSERT_NE(retry, nullptr);
    ASSERT_TRUE(WaitFor([&] { return retry->isVisible(); }, 5000));
    EXPECT_EQ(outputFiles(), before);
    ASSERT_TRUE(QFile::rename(second + QStringLiteral(".away"), second));
    QTest::mouseClick(retry, Qt::LeftButton);
    EXPECT_FALSE(retry->isVisible());
    ASSERT_TRUE(WaitFor([&] { return !tasks().engine().isPageBusy(PageKind::Merge); }, 120000));
    EXPECT_EQ(ControlText(window().FindControl(QStringLiteral("video-merge-progress-label"))), QStringLiteral("100%"));
    QStringList merged = outputFiles();
    for (const QString& file : before)
        merged.removeAll(file);
    ASSERT_EQ(merged.size(), 1);
    EXPECT_NEAR(ProbeFile(QDir(outputFolder()).filePath(merged.front())).duration, 4.0, 0.5);
}

TEST_F(WindowTimeLeftTest, ConvertingAgainNumbersThePlannedNameInsteadOfGrowingTheLastOne)
{
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("again.mp4"))});
    QWidget* item = itemAt(PageKind::Convert, 0);
    const QString planned = textIn(item, "output-filename");
    QStringList shown;
    for (int run = 0; run < 3; ++run) {
        ASSERT_TRUE(startAndWaitIdle(PageKind::Convert));
        shown << textIn(item, "output-filename");
    }
    const QString stem = planned.chopped(4);
    EXPECT_EQ(shown, (QStringList{planned, stem + QStringLiteral("-1.mp4"), stem + QStringLiteral("-2.mp4")}));
    QStringList expected = shown;
    expected.sort();
    EXPECT_EQ(outputFiles(), expected);
}

}  // namespace
}  // namespace tolvex::test
