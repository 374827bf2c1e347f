// The job factory inside the real engine, with real ffmpeg runs: what each kind of task id
// turns into (a launch, a drop, a failure with its reason), the start message, and the merge
// job's end on success and on failure.

#include "app/ConsoleLog.h"
#include "media/EncoderSupport.h"
#include "media/ParamOptionTable.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/MediaItemProbe.h"
#include "tasks/PageJobFactory.h"
#include "tests/support/TestMedia.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// The settings the window's controls would hold.
class FixedSource : public JobInputSource {
public:
    std::map<TaskId, ConvertSettings> convert;
    std::map<TaskId, CompressSettings> compress;
    std::optional<ConvertSettings> convertSettings(TaskId id) override
    {
        const auto it = convert.find(id);
        return it == convert.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<CompressSettings> compressSettings(TaskId id) override
    {
        const auto it = compress.find(id);
        return it == compress.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<RotateSettings> rotateSettings(TaskId) override { return RotateSettings{0}; }
    ExtractSettings extractSettings() override { return {"wav"}; }
    MuteSettings muteSettings() override { return {}; }
    MusicSettings musicSettings() override { return {}; }
    QString outputFolder() override { return folder; }
    QString folder;
};

// Counts the job start messages that reach the runner.
class StartCounter : public QObject {
public:
    std::vector<TaskId> started;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == static_cast<QEvent::Type>(WM_TASK_STARTED)) {
            if (auto* record = static_cast<MessageEvent*>(event)->recordAs<TaskStartRecord>())
                started.push_back(record->taskId);
            return true;
        }
        return false;
    }
};

class PageJobFactoryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SetConsoleTarget(ConsoleTarget::Silent);
        s_media = new QTemporaryDir;
        ASSERT_TRUE(MakeClip(s_media->filePath("in.mp4"), Clip(320, 240, 2.0)));
        ASSERT_TRUE(MakeClip(s_media->filePath("mute.mp4"), Clip(320, 240, 1.0, Sound::None)));
        QFile broken(s_media->filePath("broken.mp4"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(4096, 'x'));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }

    void SetUp() override { m_source.folder = m_out.path(); }

    TaskId addItem(const QString& name)
    {
        MediaItem item;
        item.fileName = name;
        item.fullPath = s_media->filePath(name);
        item.folder = s_media->path();
        item.fileSize = QFileInfo(item.fullPath).size();
        ProbeMediaItem(item);
        m_items.set(m_nextId, item);
        return m_nextId++;
    }

    // Runs the page to its end (with a deadline) and returns how long it took.
    std::chrono::milliseconds runPage(HeadlessRunner& runner, PageKind page, const std::vector<TaskId>& ids)
    {
        const auto start = std::chrono::steady_clock::now();
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &runner, [&runner] { runner.engine().StopAllJobs(); });
        deadline.start(60000);
        runner.engine().StartPage(page, ids);
        runner.run();
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }

    static QTemporaryDir* s_media;
    QTemporaryDir m_out;
    FixedSource m_source;
    MediaItemTable m_items;
    OutputParamsTable m_params;
    SplitClipTable m_splitClips;
    GifClipTable m_gifClips;
    TaskId m_nextId = 0;
    PageJobFactory m_factory{{m_items, m_params, m_splitClips, m_gifClips},
                             m_source,
                             nullptr,
                             FfmpegProgramPath(),
                             EncoderSupport::system()};
};

QTemporaryDir* PageJobFactoryTest::s_media = nullptr;

}  // namespace

TEST_F(PageJobFactoryTest, ClipIdsWithoutRecordsAreDroppedAndTheNextClipRuns)
{
    SplitClip clip;
    clip.itemId = 7;
    clip.sourcePath = s_media->filePath("in.mp4").toStdString();
    clip.outputName = "in-000000.mp4";
    clip.startText = "0:0:0";
    clip.endText = "0:0:1";
    clip.cropWidth = 160;
    clip.cropHeight = 120;
    m_splitClips.add(clip);

    HeadlessRunner runner(m_factory);
    m_factory.setReceiver(&runner);
    StartCounter counter;
    runner.installEventFilter(&counter);
    // Ids 5 and 6 have no record: both leave the queue without a run or a message, then 7 runs.
    runPage(runner, PageKind::Split, {5, 6, 7});
    EXPECT_FALSE(runner.engine().isPageBusy(PageKind::Split));
    EXPECT_EQ(runner.doneCount(), 1);
    EXPECT_EQ(runner.failedCount(), 0);
    EXPECT_EQ(counter.started, std::vector<TaskId>{7});

    const ProbedFile cut = ProbeFile(m_out.filePath("in-000000.mp4"));
    EXPECT_EQ(cut.width, 160);
    EXPECT_EQ(cut.height, 120);
    EXPECT_NEAR(cut.duration, 1.0, 0.25);

    // A gif id without a record: dropped at once, nothing written.
    const auto elapsed = runPage(runner, PageKind::Gif, {3});
    EXPECT_FALSE(runner.engine().isPageBusy(PageKind::Gif));
    EXPECT_LT(elapsed.count(), 10000);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(PageJobFactoryTest, CompressWithoutADurationFailsWithItsReason)
{
    QFile broken(s_media->filePath("broken.mp4"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a video");
    broken.close();
    const TaskId id = addItem("broken.mp4");
    m_source.compress[id] = {"原格式", "原分辨率", 50};

    HeadlessRunner runner(m_factory);
    m_factory.setReceiver(&runner);
    std::string reason;
    HeadlessRunner::Callbacks callbacks;
    callbacks.failed = [&](const TaskUpdate& r) { reason = r.reason; };
    runner.setCallbacks(callbacks);
    runPage(runner, PageKind::Compress, {id});
    EXPECT_EQ(runner.failedCount(), 1);
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(runner.engine().isPageBusy(PageKind::Compress));
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(PageJobFactoryTest, ConvertReadsTheParameterTableAtJobStart)
{
    const TaskId plain = addItem("in.mp4");
    const TaskId withParams = addItem("in.mp4");
    m_source.convert[plain] = {"plain.avi", "自动"};
    m_source.convert[withParams] = {"mono.avi", "自动"};
    const ParamOptionTable table;
    ParamChoices choices = table.defaultChoices("avi");
    choices[static_cast<int>(ParamList::Channels)] = *table.findChoice(ParamList::Channels, "avi", "单声道");
    choices[static_cast<int>(ParamList::SampleRate)] = *table.findChoice(ParamList::SampleRate, "avi", "22050Hz");
    m_params.store(ParseOutputParams(withParams, choices));
    // A removed item has no media record left: its id is dropped.
    const TaskId removed = m_nextId++;
    m_source.convert[removed] = {"gone.avi", "自动"};

    HeadlessRunner runner(m_factory);
    m_factory.setReceiver(&runner);
    StartCounter counter;
    runner.installEventFilter(&counter);
    runPage(runner, PageKind::Convert, {plain, removed, withParams});
    EXPECT_EQ(runner.doneCount(), 2);
    EXPECT_EQ(counter.started, (std::vector<TaskId>{plain, withParams}));

    const ProbedFile a = ProbeFile(m_out.filePath("plain.avi"));
    const ProbedFile b = ProbeFile(m_out.filePath("mono.avi"));
    EXPECT_EQ(a.channels, 1);  // the input's own mono tone
    EXPECT_EQ(a.sampleRate, 44100);
    EXPECT_EQ(b.videoCodec, "mpeg4");
    EXPECT_EQ(b.audioCodec, "mp3");
    EXPECT_EQ(b.channels, 1);
    EXPECT_EQ(b.sampleRate, 22050);
    EXPECT_FALSE(QFile::exists(m_out.filePath("gone.avi")));
}

TEST_F(PageJobFactoryTest, AfterShutdownEveryTaskIsDropped)
{
    const TaskId id = addItem("in.mp4");
    m_source.convert[id] = {"x.mp4", "自动"};
    m_factory.shutdown();
    EXPECT_EQ(m_factory.planJob(PageKind::Convert, id).action, JobPlan::Action::Drop);
}

TEST_F(PageJobFactoryTest, MergeEndsTheRunOnSuccessAndOnFailure)
{
    const TaskId a = addItem("in.mp4");
    const TaskId b = addItem("in.mp4");
    const TaskId silent = addItem("mute.mp4");

    HeadlessRunner runner(m_factory);
    MergeJob job = m_factory.planMerge({a, b}, {"mp4", "自动"});
    EXPECT_NEAR(job.totalDuration, 4.0, 0.2);
    runner.setMergeTotalSeconds(job.totalDuration);
    runner.engine().startMerge(job.command);
    runner.run();
    EXPECT_EQ(runner.doneCount(), 1);
    const ProbedFile merged = ProbeFile(m_out.filePath(QString::fromStdString(job.outputName)));
    EXPECT_NEAR(merged.duration, 4.0, 0.3);
    EXPECT_EQ(merged.width, 320);

    // An input without sound gets a silent track of its own length.
    QFile::remove(m_out.filePath(QString::fromStdString(job.outputName)));
    job = m_factory.planMerge({a, silent}, {"mp4", "自动"});
    runner.engine().startMerge(job.command);
    runner.run();
    EXPECT_EQ(runner.doneCount(), 2);
    const ProbedFile withSilence = ProbeFile(m_out.filePath(QString::fromStdString(job.outputName)));
    EXPECT_NEAR(withSilence.duration, 3.0, 0.3);
    EXPECT_TRUE(withSilence.hasAudio);

    // An input ffmpeg cannot read fails the merge: the merge page is freed again and the
    // failure reaches the window for task -1.
    QFile::remove(m_out.filePath(QString::fromStdString(job.outputName)));
    const TaskId broken = addItem("broken.mp4");
    std::vector<TaskId> failedIds;
    HeadlessRunner::Callbacks callbacks;
    callbacks.failed = [&](const TaskUpdate& r) { failedIds.push_back(r.taskId); };
    runner.setCallbacks(callbacks);
    job = m_factory.planMerge({a, broken}, {"mp4", "自动"});
    runner.engine().startMerge(job.command);
    runner.run();
    EXPECT_FALSE(runner.engine().isPageBusy(PageKind::Merge));
    EXPECT_EQ(failedIds, std::vector<TaskId>{kMergeTaskId});
}
