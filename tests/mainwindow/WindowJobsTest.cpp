// The pages' jobs from the window's controls to the files in the output folder, with the
// real ffmpeg: every page's start button, removing the running item, clearing a running
// page, the parameter dialog's choice, and a file that cannot be converted.

#include "app/Settings.h"
#include "media/MediaInfo.h"
#include "media/MediaProbe.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/PageStartHandler.h"
#include "ui/main/PageTasks.h"
#include "ui/main/StartButtonText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

namespace tolvex::test {
namespace {

MediaInfo Probe(const QString& path)
{
    MediaInfo info(path.toStdString());
    EXPECT_EQ(ProbeMediaInfo(info), 0) << path.toStdString();
    return info;
}

class WindowJobsTest : public WindowTest {
protected:
    // Checks that every item of the page shows 100 % and that `count` files with
    // `extension` were written.
    void expectFinished(PageKind page, const char* label, int count, const QString& extension)
    {
        CListUI* list = window().pageList(page);
        for (int i = 0; i < list->count(); ++i)
            EXPECT_EQ(textIn(list->itemAt(i), label), QStringLiteral("100%")) << "item " << i;
        const QStringList files = outputFiles().filter(QRegularExpression(QStringLiteral("\\.%1$").arg(extension)));
        EXPECT_EQ(files.size(), count) << outputFiles().join(QLatin1Char(' ')).toStdString();
        for (const QString& file : files)
            EXPECT_GT(QFileInfo(QDir(outputFolder()).filePath(file)).size(), 1000) << file.toStdString();
        // The start button is usable again and shows its idle text.
        QAbstractButton* start = window().startButton(page);
        EXPECT_TRUE(IsMouseEnabled(start));
        EXPECT_EQ(start->text(), QString::fromUtf8(StartButtonTextsFor(page).idleText));
    }
};

TEST_F(WindowJobsTest, ConvertPageConvertsThreeFilesToTheirChosenFormats)
{
    addAndWait(PageKind::Convert,
               {Clip(QStringLiteral("a.mp4")), Clip(QStringLiteral("b.mp4")), Clip(QStringLiteral("c.mp4"))});
    const QString formats[] = {QStringLiteral("mkv"), QStringLiteral("avi"), QStringLiteral("mov")};
    for (int i = 0; i < 3; ++i) {
        auto* box = FindSubControlAs<QComboBox>(itemAt(PageKind::Convert, i), QStringLiteral("video-convert-format"));
        ASSERT_NE(box, nullptr);
        box->setCurrentText(formats[i]);
        EXPECT_TRUE(textIn(itemAt(PageKind::Convert, i), "output-filename").endsWith(QLatin1Char('.') + formats[i]));
    }
    ASSERT_TRUE(startAndWaitIdle(PageKind::Convert));
    for (const QString& format : formats)
        expectFinished(PageKind::Convert, "video-progress-label", 1, format);
    for (const QString& file : outputFiles())
        EXPECT_NEAR(Probe(QDir(outputFolder()).filePath(file)).durationSeconds, 2, 1) << file.toStdString();
}

TEST_F(WindowJobsTest, AConvertItemWithA250ByteChineseNameIsListedAndConverted)
{
    // 82 Chinese characters and ".mp4": the thumbnail's and the output's names are derived
    // from it and must still fit in 255 bytes.
    const QString source = Clip(QStringLiteral("long-source.mp4"));
    const QString input = QDir(QFileInfo(source).path()).filePath(QString(82, QChar(0x89C6)) + QStringLiteral(".mp4"));
    ASSERT_EQ(QFileInfo(input).fileName().toUtf8().size(), 250);
    ASSERT_TRUE(QFile::copy(source, input));
    addAndWait(PageKind::Convert, {input});
    const QString shown = textIn(itemAt(PageKind::Convert, 0), "output-filename");
    EXPECT_LE(shown.toUtf8().size(), 255) << shown.toStdString();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Convert));
    expectFinished(PageKind::Convert, "video-progress-label", 1, QFileInfo(shown).suffix());
    ASSERT_EQ(outputFiles().size(), 1);
    EXPECT_EQ(outputFiles().front(), shown);
}

TEST_F(WindowJobsTest, MergeJoinsTheTickedItemsOnly)
{
    addAndWait(PageKind::Merge,
               {Clip(QStringLiteral("m1.mp4")), Clip(QStringLiteral("m2.mp4")), Clip(QStringLiteral("m3.mp4"))});
    for (int i : {0, 1, 2})
        FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, i), QStringLiteral("merge-check-box-item"))
            ->setChecked(i != 1);
    ASSERT_TRUE(startAndWaitIdle(PageKind::Merge));
    EXPECT_EQ(ControlText(window().FindControl(QStringLiteral("video-merge-progress-label"))), QStringLiteral("100%"));
    EXPECT_EQ(window().findControlAs<QProgressBar>(QStringLiteral("video-merge-progress"))->value(), 100);
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.front().startsWith(QStringLiteral("视频合并-")));
    // Two two-second inputs.
    EXPECT_NEAR(Probe(QDir(outputFolder()).filePath(files.front())).durationSeconds, 4, 1);
    EXPECT_EQ(window().startButton(PageKind::Merge)->text(), QStringLiteral("一键合并"));
}

TEST_F(WindowJobsTest, MergeOfASilentItemWorksAndAFailureNamesItsInput)
{
    // An item without sound between two with sound: the merge keeps their sound in place.
    addAndWait(PageKind::Merge,
               {Clip(QStringLiteral("s1.mp4"), 1.0), Clip(QStringLiteral("quiet.mp4"), 1.0, 160, 120, false),
                Clip(QStringLiteral("s3.mp4"), 1.0)});
    window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Merge));
    EXPECT_EQ(ControlText(window().FindControl(QStringLiteral("video-merge-progress-label"))), QStringLiteral("100%"));
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_NEAR(Probe(QDir(outputFolder()).filePath(files.front())).durationSeconds, 3, 1);
    QFile::remove(QDir(outputFolder()).filePath(files.front()));

    // An unreadable second item: the page says the merge failed and which file it was.
    const QString broken =
        QDir(QFileInfo(Clip(QStringLiteral("s4.mp4"), 1.0)).path()).filePath(QStringLiteral("bad.mp4"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    window().findControlAs<QAbstractButton>(QStringLiteral("clear-merge-list-btn"))->click();
    addAndWait(PageKind::Merge, {Clip(QStringLiteral("s4.mp4"), 1.0), broken});
    window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Merge));
    QWidget* label = window().FindControl(QStringLiteral("video-merge-progress-label"));
    EXPECT_TRUE(label->toolTip().contains(QStringLiteral("第2个文件 bad.mp4"))) << label->toolTip().toStdString();
}

TEST_F(WindowJobsTest, LosslessMergeJoinsMatchingFilesAndRefusesOthersOfferingToUntick)
{
    auto* box = window().findControlAs<QCheckBox>(QStringLiteral("video-merge-lossless"));
    ASSERT_TRUE(box);
    const auto* handler = window().handler<PageStartHandler>();
    const auto idle = [&] { return !handler->checkingMerge() && !tasks().engine().isPageBusy(PageKind::Merge); };
    // The box is remembered: later windows of this run start unticked whatever happens here.
    const std::shared_ptr<void> untick(nullptr, [](void*) {
        WriteSetting(QStringLiteral("global"), QStringLiteral("merge-lossless"), QStringLiteral("0"));
    });
    box->setChecked(true);
    EXPECT_FALSE(window().FindControl(QStringLiteral("video-merge-ratio"))->isEnabled());

    // Alike: joined by copying, one chapter per file.
    addAndWait(PageKind::Merge, {Clip(QStringLiteral("same1.mp4"), 1.0), Clip(QStringLiteral("same2.mp4"), 1.0)});
    window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
    window().startButton(PageKind::Merge)->click();
    ASSERT_TRUE(WaitFor([&] { return idle() && outputFiles().size() == 1; }, 60000));
    EXPECT_EQ(ControlText(window().FindControl(QStringLiteral("video-merge-progress-label"))), QStringLiteral("100%"));
    const QString joined = QDir(outputFolder()).filePath(outputFiles().front());
    EXPECT_NEAR(Probe(joined).durationSeconds, 2, 1);
    QByteArray chapters;
    RunProgram(QStringLiteral("ffprobe"),
               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                QStringLiteral("chapter_tags=title"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), joined},
               &chapters);
    EXPECT_EQ(QString::fromUtf8(chapters).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("same1"), QStringLiteral("same2")}));
    QFile::remove(joined);

    // Different frame sizes: refused before anything runs; the box offers to untick itself.
    window().findControlAs<QAbstractButton>(QStringLiteral("clear-merge-list-btn"))->click();
    addAndWait(PageKind::Merge,
               {Clip(QStringLiteral("small.mp4"), 1.0, 160, 120), Clip(QStringLiteral("large.mp4"), 1.0, 320, 240)});
    window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();
    QString text;
    AnswerNextBox(&text);
    window().startButton(PageKind::Merge)->click();
    ASSERT_TRUE(WaitFor([&] { return !text.isEmpty(); }, 60000));
    EXPECT_TRUE(text.contains(QStringLiteral("第2个文件: 分辨率 320x240 ≠ 160x120"))) << text.toStdString();
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(window().FindControl(QStringLiteral("video-merge-ratio"))->isEnabled());
    EXPECT_TRUE(WaitFor(idle, 10000));
    EXPECT_TRUE(outputFiles().isEmpty());
}

TEST_F(WindowJobsTest, CompressRotateExtractMuteAndMusicPagesWriteTheirFiles)
{
    // One input per page: pages that keep the input's container name their outputs after
    // the input and the clock second, so one input would give the same name twice.
    auto input = [](const char* name) { return Clip(QString::fromLatin1(name), 2.0, 320, 240); };
    addAndWait(PageKind::Compress, {input("pc.mp4")});
    ASSERT_TRUE(startAndWaitIdle(PageKind::Compress));
    expectFinished(PageKind::Compress, "progress-label", 1, QStringLiteral("mp4"));

    addAndWait(PageKind::Rotate, {input("pr.mp4")});
    auto* type = FindSubControlAs<QComboBox>(itemAt(PageKind::Rotate, 0), QStringLiteral("video-rotate-type"));
    ASSERT_NE(type, nullptr);
    type->setCurrentIndex(0);  // a quarter turn clockwise: the picture stands
    const QStringList before = outputFiles();
    ASSERT_TRUE(startAndWaitIdle(PageKind::Rotate));
    expectFinished(PageKind::Rotate, "video-rotate-progress-label", 2, QStringLiteral("mp4"));
    QStringList rotated = outputFiles();
    for (const QString& file : before)
        rotated.removeAll(file);
    ASSERT_EQ(rotated.size(), 1);
    const MediaInfo turned = Probe(QDir(outputFolder()).filePath(rotated.front()));
    EXPECT_EQ(turned.width, 240);
    EXPECT_EQ(turned.height, 320);

    addAndWait(PageKind::Extract, {input("pe.mp4")});
    auto* format = window().findControlAs<QComboBox>(QStringLiteral("video-extract-format"));
    ASSERT_NE(format, nullptr);
    format->setCurrentText(QStringLiteral("mp3"));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Extract));
    expectFinished(PageKind::Extract, "video-extract-progress-label", 1, QStringLiteral("mp3"));

    addAndWait(PageKind::Mute, {input("pm.mp4")});
    window().findControlAs<QAbstractButton>(QStringLiteral("video-mute"))->setChecked(true);
    ASSERT_TRUE(startAndWaitIdle(PageKind::Mute));
    EXPECT_EQ(textIn(itemAt(PageKind::Mute, 0), "video-mute-progress-label"), QStringLiteral("100%"));

    addAndWait(PageKind::Music, {input("pb.mp4")});
    window().findControlAs<QLineEdit>(QStringLiteral("bg-music-edit"))->setText(Tone(QStringLiteral("bg.wav")));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Music));
    EXPECT_EQ(textIn(itemAt(PageKind::Music, 0), "video-music-progress-label"), QStringLiteral("100%"));
    // compress, rotate, mute and music keep the input's container.
    EXPECT_EQ(outputFiles().filter(QRegularExpression(QStringLiteral("\\.mp4$"))).size(), 4);
}

TEST_F(WindowJobsTest, RemovingTheRunningItemEndsItsFfmpegAndTheNextOneRuns)
{
    const QString longer = Clip(QStringLiteral("long.mp4"), 20.0, 640, 480);
    addAndWait(PageKind::Convert, {longer, Clip(QStringLiteral("short.mp4"))});
    const TaskId first = idAt(PageKind::Convert, 0);
    const TaskId second = idAt(PageKind::Convert, 1);
    window().startButton(PageKind::Convert)->click();
    TaskEngine& engine = tasks().engine();
    ASSERT_TRUE(WaitFor([&] { return engine.processOf(PageKind::Convert, first).has_value(); }));
    const pid_t pid = *engine.processOf(PageKind::Convert, first);

    FindSubControlAs<QAbstractButton>(itemAt(PageKind::Convert, 0), QStringLiteral("video-remove-btn"))->click();
    EXPECT_EQ(window().pageList(PageKind::Convert)->count(), 1);
    EXPECT_FALSE(window().mediaItems().contains(first));
    EXPECT_TRUE(WaitFor([&] { return ProcessGone(pid); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return !engine.isPageBusy(PageKind::Convert); }));
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 0), "video-progress-label"), QStringLiteral("100%"));
    EXPECT_EQ(idAt(PageKind::Convert, 0), second);
    EXPECT_EQ(outputFiles().filter(QStringLiteral("short-")).size(), 1);
    EXPECT_TRUE(outputFiles().filter(QStringLiteral("long-")).isEmpty()) << "the removed job's partial file is gone";
    // The item names the file that was written.
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 0), "output-filename"),
              outputFiles().filter(QStringLiteral("short-")).value(0));
}

TEST_F(WindowJobsTest, ClearingARunningPageStopsItsJobsAndFreesItsButton)
{
    const QString longer = Clip(QStringLiteral("long.mp4"), 20.0, 640, 480);
    addAndWait(PageKind::Convert, {longer, longer, longer});
    const TaskId first = idAt(PageKind::Convert, 0);
    QAbstractButton* start = window().startButton(PageKind::Convert);
    start->click();
    EXPECT_EQ(start->text(), QStringLiteral("转换中"));
    EXPECT_FALSE(IsMouseEnabled(start));
    TaskEngine& engine = tasks().engine();
    ASSERT_TRUE(WaitFor([&] { return engine.processOf(PageKind::Convert, first).has_value(); }));
    const pid_t pid = *engine.processOf(PageKind::Convert, first);

    window().findControlAs<QAbstractButton>(QStringLiteral("clear-convert-list-btn"))->click();
    EXPECT_EQ(window().pageList(PageKind::Convert)->count(), 0);
    EXPECT_FALSE(engine.isPageBusy(PageKind::Convert));
    EXPECT_TRUE(engine.queuedTasks(PageKind::Convert).empty());
    EXPECT_EQ(start->text(), QStringLiteral("开始转换"));
    EXPECT_TRUE(IsMouseEnabled(start));
    EXPECT_EQ(window().mediaItems().size(), 0u);
    EXPECT_TRUE(WaitFor([&] { return ProcessGone(pid); }, 5000));
    // The stopped job's partial file is gone: its reader removes it as the last thing it
    // does, so the stop is wound up and whatever it posted is queued by now.
    EXPECT_TRUE(WaitFor([&] { return outputFiles().isEmpty(); }, 5000))
        << qPrintable(outputFiles().join(QLatin1Char(' ')));
    QCoreApplication::sendPostedEvents();
    // Nothing else started on the page.
    EXPECT_FALSE(engine.runningTask(PageKind::Convert).has_value());
}

TEST_F(WindowJobsTest, TheParameterDialogsChoiceReachesTheOutputFile)
{
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("params.mp4"))});
    QWidget* item = itemAt(PageKind::Convert, 0);
    // The dialog is modal: it is answered from the event loop it runs.
    QTimer::singleShot(100, [] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* rate = top->findChild<QComboBox*>(QStringLiteral("audio-sample-rate"));
            auto* channel = top->findChild<QComboBox*>(QStringLiteral("audio-channel"));
            auto* confirm = top->findChild<QAbstractButton*>(QStringLiteral("confirm-btn"));
            if (top->isVisible() && rate && channel && confirm) {
                rate->setCurrentText(QStringLiteral("22050Hz"));
                channel->setCurrentText(QStringLiteral("单声道"));
                confirm->click();
                return;
            }
        }
        ADD_FAILURE() << "no parameter dialog";
    });
    FindSubControlAs<QAbstractButton>(item, QStringLiteral("video-param-setting-btn"))->click();
    ASSERT_TRUE(WaitFor([&] { return tasks().outputParams().find(idAt(PageKind::Convert, 0)).has_value(); }, 5000));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Convert));
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 1);
    const MediaInfo info = Probe(QDir(outputFolder()).filePath(files.front()));
    EXPECT_EQ(info.sampleRate, 22050);
    EXPECT_EQ(info.channels, 1);
}

TEST_F(WindowJobsTest, AFileThatCannotBeReadShowsItsFailureMarkAndThePageGoesOn)
{
    const QString broken = QDir(outputFolder()).filePath(QStringLiteral("../broken-input.mp4"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    addAndWait(PageKind::Rotate, {broken, Clip(QStringLiteral("good.mp4"))});
    ASSERT_TRUE(startAndWaitIdle(PageKind::Rotate));
    QWidget* bad = itemAt(PageKind::Rotate, 0);
    QWidget* good = itemAt(PageKind::Rotate, 1);
    EXPECT_TRUE(FindSubControl(bad, QStringLiteral("video-rotate-progress-error"))->isVisibleTo(bad));
    EXPECT_FALSE(FindSubControl(bad, QStringLiteral("video-rotate-progress"))->isVisibleTo(bad));
    EXPECT_FALSE(FindSubControl(good, QStringLiteral("video-rotate-progress-error"))->isVisibleTo(good));
    EXPECT_EQ(textIn(good, "video-rotate-progress-label"), QStringLiteral("100%"));
    QFile::remove(broken);

    // Starting again shows the bar again and hides the mark while the item runs anew.
    window().pageList(PageKind::Rotate)->removeItem(good);
    ASSERT_TRUE(startAndWaitIdle(PageKind::Rotate));
    EXPECT_TRUE(FindSubControl(bad, QStringLiteral("video-rotate-progress-error"))->isVisibleTo(bad));
}

}  // namespace
}  // namespace tolvex::test
