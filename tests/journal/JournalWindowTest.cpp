// The pages' lists survive an unclean end, with the real ffmpeg. The window's first life
// runs in a child process (JournalChildLife.h) that is killed with SIGKILL while a job
// runs; the next start, here, deletes the half-written file, lists the items again (the
// finished one as finished), asks whether to go on, and goes on or gives up as answered.

#include "app/Settings.h"
#include "tasks/QueueJournalFile.h"
#include "tasks/QueueJournalJson.h"
#include "tests/journal/JournalChildLife.h"
#include "tests/journal/JournalSamples.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/OpenWithFiles.h"
#include "ui/main/PageTasks.h"
#include "ui/main/QueueJournalKeeper.h"
#include "ui/main/ResumeQuestionBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include <signal.h>

namespace tolvex::test {
namespace {

// Seconds of each file the convert page converts in the tests.
constexpr double kConvertSeconds = 4.0;

QTemporaryDir& MediaFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// A clip that keeps the encoder busy for a few seconds in little time: noise over the test
// picture, made with the fastest encoder settings.
void MakeHeavyClip(const QString& name, double seconds)
{
    const QString path = MediaFolder().filePath(name);
    if (QFileInfo::exists(path))
        return;
    const std::string length = std::to_string(seconds);
    ASSERT_TRUE(RunFfmpeg({"-f",        "lavfi",
                           "-i",        "testsrc2=size=640x360:rate=25:duration=" + length,
                           "-f",        "lavfi",
                           "-i",        "sine=frequency=440:duration=" + length,
                           "-vf",       "noise=alls=60:allf=t+u",
                           "-c:v",      "libx264",
                           "-preset",   "ultrafast",
                           "-pix_fmt",  "yuv420p",
                           "-c:a",      "aac",
                           "-shortest", path.toStdString()}))
        << name.toStdString();
}

// The journal on the disk, read without touching it (a journal that cannot be read is
// not moved aside here).
std::optional<QueueJournal> JournalOnDisk()
{
    QFile file(QueueJournalPath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const JournalParse parse = QueueJournalFromJson(file.readAll());
    if (parse.status != JournalParse::Status::Ok)
        return std::nullopt;
    return parse.journal;
}

bool IsWriting(const JournalJob& job)
{
    return job.state == JournalState::Running && !job.output.isEmpty() && QFileInfo(job.output).size() > 0;
}

struct FileStamp {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? FileStamp{info.size(), info.lastModified()} : FileStamp{};
}

// What the resume question showed when it was answered.
struct SeenQuestion {
    bool answered = false;
    QString text;
    QString confirm;
    QString cancel;
};

// Presses `buttonName` of the resume question ("msgConfirm" is "继续", "msgCancel" "放弃")
// once it shows and `ready` holds. The question runs its own event loop, so the answer is
// given from a timer.
std::shared_ptr<SeenQuestion> AnswerResumeQuestion(const char* buttonName, const std::function<bool()>& ready = {})
{
    auto seen = std::make_shared<SeenQuestion>();
    auto deadline = std::make_shared<QDeadlineTimer>(120000);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [seen, deadline, poll, buttonName, ready] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<ResumeQuestionBox*>(widget);
            if (!box || !box->isVisible() || (ready && !ready()))
                continue;
            auto* confirm = box->findChild<QAbstractButton*>(QStringLiteral("msgConfirm"));
            auto* cancel = box->findChild<QAbstractButton*>(QStringLiteral("msgCancel"));
            auto* text = box->findChild<QLabel*>(QStringLiteral("msgText"));
            if (!confirm || !cancel || !text)
                continue;
            seen->text = text->text();
            seen->confirm = confirm->text();
            seen->cancel = cancel->text();
            seen->answered = true;
            *poll = nullptr;
            box->findChild<QAbstractButton*>(QString::fromLatin1(buttonName))->click();
            return;
        }
        if (!deadline->hasExpired())
            QTimer::singleShot(20, *poll);
        else
            *poll = nullptr;
    };
    QTimer::singleShot(20, *poll);
    return seen;
}

bool QuestionShown()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<ResumeQuestionBox*>(widget) && widget->isVisible())
            return true;
    }
    return false;
}

class JournalWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const char* name : {"a.mp4", "b.mp4", "c.mp4"})
            MakeHeavyClip(QString::fromLatin1(name), kConvertSeconds);
        MakeHeavyClip(QStringLiteral("m1.mp4"), 2.0);
        MakeHeavyClip(QStringLiteral("m2.mp4"), 2.0);
        MakeHeavyClip(QStringLiteral("s.mp4"), 4.0);
        ASSERT_TRUE(MakeVideo(MediaFolder().filePath(QStringLiteral("d.mp4")).toStdString(), 1.0));
    }

    void SetUp() override
    {
        // Each test starts as a first run: no journal (the settings file is the process's).
        QFile::remove(QueueJournalPath());
        ASSERT_TRUE(m_output.isValid());
        ASSERT_TRUE(WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), m_output.path()));
    }

    void TearDown() override
    {
        closeWindow();
        if (m_child.state() != QProcess::NotRunning) {
            m_child.kill();
            m_child.waitForFinished(10000);
        }
        // The window's end asked the application to quit, which would end every later modal
        // loop at once; one short turn of the application's loop takes the request back.
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }

    // Lives the window's first life in a child process until the journal it keeps satisfies
    // `ready`, then kills it with SIGKILL; returns that journal.
    std::optional<QueueJournal> runFirstLifeUntil(const char* scenario,
                                                  const std::function<bool(const QueueJournal&)>& ready)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildScenarioVariable), QString::fromLatin1(scenario));
        environment.insert(QString::fromLatin1(kChildMediaVariable), MediaFolder().path());
        m_child.setProcessEnvironment(environment);
        m_child.setStandardOutputFile(QProcess::nullDevice());
        m_child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_child.start(QCoreApplication::applicationFilePath(), {});
        if (!m_child.waitForStarted(10000))
            return std::nullopt;
        std::optional<QueueJournal> seen;
        WaitFor(
            [&] {
                if (m_child.state() == QProcess::NotRunning)
                    return true;
                const std::optional<QueueJournal> journal = JournalOnDisk();
                if (journal && ready(*journal))
                    seen = journal;
                return seen.has_value();
            },
            240000);
        const bool running = m_child.state() == QProcess::Running;
        if (running)
            ::kill(static_cast<pid_t>(m_child.processId()), SIGKILL);
        m_child.waitForFinished(10000);
        EXPECT_TRUE(running) << "the first life was still running when it was killed";
        return running ? seen : std::nullopt;
    }

    // The window as the program starts it: the journal first, then the files of its command line.
    QueueJournalKeeper* startWindow(const QStringList& commandLineFiles = {})
    {
        m_window = new CMainWnd;
        EXPECT_TRUE(m_window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW));
        m_window->ShowWindow();
        QueueJournalKeeper* keeper = StartQueueJournal(*m_window);
        OpenFilesOnConvertPage(*m_window, commandLineFiles);
        return keeper;
    }

    void closeWindow()
    {
        if (m_window && !m_window->isClosed())
            m_window->Close();
        EXPECT_TRUE(WaitFor([this] { return m_window.isNull(); }, 20000)) << "the window deletes itself";
    }

    CListUI* list(PageKind page) { return m_window->pageList(page); }
    QWidget* itemAt(PageKind page, int index) { return list(page)->itemAt(index); }
    static QString textIn(QWidget* container, const char* name)
    {
        return ControlText(FindSubControl(container, QString::fromLatin1(name)));
    }
    bool waitIdle(std::initializer_list<PageKind> pages)
    {
        TaskEngine& engine = m_window->tasks().engine();
        return WaitFor(
            [&] {
                for (const PageKind page : pages) {
                    if (engine.isPageBusy(page))
                        return false;
                }
                return true;
            },
            300000);
    }
    QStringList outputs(const QString& prefix) const
    {
        return QDir(m_output.path()).entryList({prefix + QStringLiteral("*")}, QDir::Files, QDir::Name);
    }
    QString outputPath(const QString& name) const { return QDir(m_output.path()).filePath(name); }

    QTemporaryDir m_output;
    QProcess m_child;
    QPointer<CMainWnd> m_window;
};

// The first file converted, the second being written.
bool SecondConverting(const QueueJournal& journal)
{
    const auto& items = journal.page(PageKind::Convert).items;
    return items.size() == 3 && items[0].job.state == JournalState::Done && IsWriting(items[1].job);
}

TEST_F(JournalWindowTest, KilledMidwayTheNextStartCleansUpAsksAndContinues)
{
    const std::optional<QueueJournal> killed = runFirstLifeUntil("convert", SecondConverting);
    ASSERT_TRUE(killed);
    const auto& before = killed->page(PageKind::Convert).items;
    const QString firstOutput = before[0].job.output;
    const FileStamp firstStamp = StampOf(firstOutput);
    const QString half = before[1].job.output;
    ASSERT_GT(firstStamp.size, 0);
    ASSERT_TRUE(QFile::exists(half));

    // A file given on the command line of this start comes after the restored items.
    const QString given = MediaFolder().filePath(QStringLiteral("d.mp4"));
    const auto seen = AnswerResumeQuestion("msgConfirm", [this] { return list(PageKind::Convert)->count() == 4; });
    QueueJournalKeeper* keeper = startWindow({given});

    EXPECT_FALSE(QFile::exists(half)) << "the half-written file is deleted before anything else";
    EXPECT_EQ(keeper->restoredItems(), 3);
    EXPECT_EQ(keeper->unfinishedAtStart(), 2);
    ASSERT_GE(list(PageKind::Convert)->count(), 3);
    QWidget* first = itemAt(PageKind::Convert, 0);
    EXPECT_EQ(textIn(first, "input-filename"), QStringLiteral("a.mp4"));
    EXPECT_EQ(textIn(first, "video-progress-label"), QStringLiteral("100%"));
    EXPECT_EQ(textIn(first, "output-filename"), QFileInfo(firstOutput).fileName());
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 1), "input-filename"), QStringLiteral("b.mp4"));
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 1), "video-progress-label"), QStringLiteral("0%"));
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 1), "output-filename"), before[1].outputName);

    ASSERT_TRUE(WaitFor([&] { return seen->answered; }, 120000)) << "the question was asked";
    EXPECT_EQ(seen->text, QStringLiteral("上次还有 2 个任务没有完成，是否继续？"));
    EXPECT_EQ(seen->confirm, QStringLiteral("继续"));
    EXPECT_EQ(seen->cancel, QStringLiteral("放弃"));
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 3), "input-filename"), QStringLiteral("d.mp4"));

    ASSERT_TRUE(waitIdle({PageKind::Convert}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(textIn(itemAt(PageKind::Convert, i), "video-progress-label"), QStringLiteral("100%")) << i;
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 3), "video-progress-label"), QStringLiteral("0%"))
        << "the file given at this start waits for the start button";
    EXPECT_EQ(StampOf(firstOutput), firstStamp) << "the finished file was not touched";
    for (const char* input : {"a-", "b-", "c-"}) {
        const QStringList files = outputs(QString::fromLatin1(input));
        ASSERT_EQ(files.size(), 1) << input;
        const ProbedFile probed = ProbeFile(outputPath(files.front()));
        EXPECT_TRUE(probed.hasVideo) << input;
        EXPECT_NEAR(probed.duration, kConvertSeconds, 0.5) << input;
    }
    EXPECT_TRUE(outputs(QStringLiteral("d-")).isEmpty());

    keeper->saveNow();
    const std::optional<QueueJournal> now = JournalOnDisk();
    ASSERT_TRUE(now);
    EXPECT_EQ(now->unfinishedCount(), 0);
    EXPECT_EQ(now->page(PageKind::Convert).items.size(), 4U);
    closeWindow();
    const std::optional<QueueJournal> after = JournalOnDisk();
    ASSERT_TRUE(after);
    EXPECT_TRUE(after->closedCleanly && after->hasNoItems()) << "a clean quit empties the journal";
}

TEST_F(JournalWindowTest, DiscardRemovesTheUnfinishedWorkForGood)
{
    const std::optional<QueueJournal> killed = runFirstLifeUntil("convert", SecondConverting);
    ASSERT_TRUE(killed);
    const QString firstOutput = killed->page(PageKind::Convert).items[0].job.output;
    const QString half = killed->page(PageKind::Convert).items[1].job.output;

    const auto seen = AnswerResumeQuestion("msgCancel");
    QueueJournalKeeper* keeper = startWindow();
    ASSERT_TRUE(WaitFor([&] { return seen->answered; }, 120000));
    ASSERT_EQ(list(PageKind::Convert)->count(), 1) << "the unfinished items are gone";
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 0), "video-progress-label"), QStringLiteral("100%"));
    EXPECT_FALSE(m_window->tasks().engine().isPageBusy(PageKind::Convert));
    EXPECT_EQ(QDir(m_output.path()).entryList(QDir::Files), QStringList{QFileInfo(firstOutput).fileName()})
        << "one output, no half file";
    EXPECT_FALSE(QFile::exists(half));

    // The journal as a kill right now would leave it asks nothing at the next start.
    keeper->saveNow();
    QFile file(QueueJournalPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray leftByAKill = file.readAll();
    file.close();
    closeWindow();
    ASSERT_TRUE(WriteQueueJournalFile(QueueJournalPath(), leftByAKill));
    keeper = startWindow();
    EXPECT_EQ(keeper->unfinishedAtStart(), 0);
    EXPECT_EQ(keeper->restoredItems(), 1) << "the finished item comes back, as finished";
    ASSERT_EQ(list(PageKind::Convert)->count(), 1);
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 0), "video-progress-label"), QStringLiteral("100%"));
    Pump(300);
    EXPECT_FALSE(QuestionShown()) << "nothing is asked";

    // After a clean quit the lists start empty.
    closeWindow();
    keeper = startWindow();
    EXPECT_EQ(keeper->restoredItems(), 0);
    EXPECT_EQ(list(PageKind::Convert)->count(), 0);
}

TEST_F(JournalWindowTest, AMergeAndASplitClipPendingGoOnToo)
{
    // The first file converted; the merge, the clip and a later file being written.
    const auto ready = [](const QueueJournal& journal) {
        const auto& convert = journal.page(PageKind::Convert).items;
        const auto& split = journal.page(PageKind::Split).items;
        return convert.size() == 3 && convert[0].job.state == JournalState::Done &&
               (IsWriting(convert[1].job) || IsWriting(convert[2].job)) &&
               IsWriting(journal.page(PageKind::Merge).mergeJob) && split.size() == 1 && IsWriting(split[0].job);
    };
    const std::optional<QueueJournal> killed = runFirstLifeUntil("mixed", ready);
    ASSERT_TRUE(killed);
    std::vector<QString> halves{killed->page(PageKind::Merge).mergeJob.output,
                                killed->page(PageKind::Split).items[0].job.output};
    std::map<QString, FileStamp> finished;
    int unfinished = 2;
    for (const JournalItem& item : killed->page(PageKind::Convert).items) {
        if (item.job.state == JournalState::Done)
            finished[item.job.output] = StampOf(item.job.output);
        else
            ++unfinished;
        if (item.job.state == JournalState::Running)
            halves.push_back(item.job.output);
    }
    for (const QString& half : halves)
        ASSERT_TRUE(QFile::exists(half)) << half.toStdString();

    const auto seen = AnswerResumeQuestion("msgConfirm");
    QueueJournalKeeper* keeper = startWindow();
    for (const QString& half : halves)
        EXPECT_FALSE(QFile::exists(half)) << half.toStdString();
    EXPECT_EQ(keeper->unfinishedAtStart(), unfinished);
    ASSERT_EQ(list(PageKind::Merge)->count(), 2);
    for (int i = 0; i < 2; ++i) {
        auto* tick =
            FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, i), QString::fromLatin1(kMergeTickControl));
        ASSERT_NE(tick, nullptr);
        EXPECT_TRUE(tick->isChecked()) << "merge row " << i << " is still one of its inputs";
    }
    ASSERT_EQ(list(PageKind::Split)->count(), 1);
    EXPECT_EQ(textIn(itemAt(PageKind::Split, 0), "fileSliceLabel"),
              QStringLiteral("%1 - %2").arg(QLatin1String(kClipStart), QLatin1String(kClipEnd)));

    ASSERT_TRUE(WaitFor([&] { return seen->answered; }, 120000));
    EXPECT_EQ(seen->text, QStringLiteral("上次还有 %1 个任务没有完成，是否继续？").arg(unfinished));
    ASSERT_TRUE(waitIdle({PageKind::Convert, PageKind::Merge, PageKind::Split}));

    for (const auto& [path, stamp] : finished)
        EXPECT_EQ(StampOf(path), stamp) << path.toStdString() << " was not touched";
    for (const char* input : {"a-", "b-", "c-"})
        EXPECT_EQ(outputs(QString::fromLatin1(input)).size(), 1) << input;
    const QStringList merged = outputs(QStringLiteral("视频合并-"));
    ASSERT_EQ(merged.size(), 1);
    EXPECT_NEAR(ProbeFile(outputPath(merged.front())).duration, 4.0, 0.5) << "two files of two seconds";
    const QStringList clips = outputs(QStringLiteral("s-"));
    ASSERT_EQ(clips.size(), 1);
    const ProbedFile clip = ProbeFile(outputPath(clips.front()));
    EXPECT_NEAR(clip.duration, 3.0, 0.5);
    EXPECT_EQ(clip.width, kClipCropWidth) << "the clip kept its crop";
    EXPECT_EQ(clip.height, kClipCropHeight);
}

}  // namespace
}  // namespace tolvex::test

namespace tolvex::test {
namespace {

TEST_F(JournalWindowTest, AThousandItemsComeBackAndAreKeptInAFewWrites)
{
    // A thousand convert items of one input: ten finished, one running, the rest waiting.
    const QString input = MediaFolder().filePath(QStringLiteral("d.mp4"));
    QueueJournal journal = ConvertJournal(1000, m_output.path(), QStringLiteral("101500"), 10);
    for (JournalItem& item : journal.page(PageKind::Convert).items) {
        item.media.fullPath = input;
        item.media.fileName = QStringLiteral("d.mp4");
    }
    const QString half = journal.page(PageKind::Convert).items[10].job.output;
    QDir().mkpath(QFileInfo(half).path());
    QFile file(half);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("half");
    file.close();
    ASSERT_TRUE(WriteQueueJournalFile(QueueJournalPath(), QueueJournalToJson(journal)));

    const auto seen = AnswerResumeQuestion("msgCancel");
    QueueJournalKeeper* keeper = startWindow();
    EXPECT_FALSE(QFile::exists(half));
    EXPECT_EQ(keeper->restoredItems(), 1000);
    EXPECT_EQ(keeper->unfinishedAtStart(), 990);
    ASSERT_EQ(list(PageKind::Convert)->count(), 1000);
    EXPECT_EQ(textIn(itemAt(PageKind::Convert, 999), "output-filename"),
              journal.page(PageKind::Convert).items[999].outputName);
    // The window keeps the whole list, the running work now waiting.
    keeper->saveNow();
    const std::optional<QueueJournal> kept = JournalOnDisk();
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->itemCount(), 1000U);
    EXPECT_EQ(kept->unfinishedCount(), 990);
    EXPECT_EQ(kept->page(PageKind::Convert).items[0].job.state, JournalState::Done);
    EXPECT_EQ(kept->page(PageKind::Convert).items[10].job.state, JournalState::Waiting);
    EXPECT_TRUE(kept->page(PageKind::Convert).items[10].job.output.isEmpty());
    EXPECT_LE(keeper->writeCount(), 2) << "listing a thousand items is one save, not one per item";

    ASSERT_TRUE(WaitFor([&] { return seen->answered; }, 120000));
    EXPECT_EQ(seen->text, QStringLiteral("上次还有 990 个任务没有完成，是否继续？"));
    ASSERT_EQ(list(PageKind::Convert)->count(), 10);
    keeper->saveNow();
    const std::optional<QueueJournal> after = JournalOnDisk();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->itemCount(), 10U);
    EXPECT_EQ(after->unfinishedCount(), 0);
    EXPECT_LE(keeper->writeCount(), 5) << "removing 990 items is a few saves";
}

}  // namespace
}  // namespace tolvex::test
