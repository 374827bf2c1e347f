// Many short jobs on several pages while another thread keeps removing, clearing and
// stopping at random: every task ends exactly once, no process or zombie is left, no file
// descriptor leaks, and no partial file stays behind.

#include "media/MediaProbe.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/TaskEngine.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/ScriptedFactory.h"
#include "tests/support/TestMedia.h"

#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <map>
#include <random>
#include <thread>

namespace tolvex {
namespace {

constexpr int kRounds = 5;
constexpr int kJobsPerRound = 60;
constexpr PageKind kPages[] = {PageKind::Convert, PageKind::Compress, PageKind::Extract, PageKind::Music};

int OpenDescriptors()
{
    int count = 0;
    if (DIR* folder = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(folder))
            count += entry->d_name[0] != '.';
        ::closedir(folder);
    }
    return count - 1;  // the listing's own
}

enum class Ending { None, Done, Failed, Removed, Cleared };

struct Task {
    PageKind page = PageKind::Convert;
    std::string output;
    Ending ending = Ending::None;
};

TEST(EngineSoak, ManyJobsWithRandomRemovesClearsAndStops)
{
    QTemporaryDir out;
    test::ScriptedFactory factory;
    std::map<TaskId, Task> tasks;
    int endedTwice = 0;
    const auto end = [&](TaskId id, Ending ending) {
        Task& task = tasks[id];
        if (task.ending != Ending::None) {
            // A user's removal of a task that has ended already changes nothing.
            if (ending == Ending::Done || ending == Ending::Failed)
                ++endedTwice;
            return;
        }
        task.ending = ending;
    };

    auto runner = std::make_unique<HeadlessRunner>(factory);
    HeadlessRunner::Callbacks callbacks;
    callbacks.done = [&](const TaskUpdate& r) { end(r.taskId, Ending::Done); };
    callbacks.failed = [&](const TaskUpdate& r) { end(r.taskId, Ending::Failed); };
    runner->setCallbacks(callbacks);
    TaskEngine& engine = runner->engine();

    int descriptorsAfterFirstRound = -1;
    TaskId nextId = 0;
    std::mt19937 random(2024);
    for (int round = 0; round < kRounds; ++round) {
        std::map<PageKind, std::vector<TaskId>> queued;
        for (int i = 0; i < kJobsPerRound; ++i) {
            const TaskId id = nextId++;
            Task& task = tasks[id];
            task.page = kPages[id % std::size(kPages)];
            task.output = out.filePath(QStringLiteral("%1.mp4").arg(id)).toStdString();
            factory.set(task.page, id,
                        test::RunPlan({"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=10:duration=0.2", "-c:v", "mpeg4",
                                       "-y", task.output}));
            queued[task.page].push_back(id);
        }
        for (const auto& [page, ids] : queued)
            ASSERT_TRUE(engine.StartPage(page, ids));

        // Another thread asks for removes, clears and stops at random moments; they run
        // where the engine lives, on this thread.
        std::atomic<bool> roundOver{false};
        const TaskId firstId = nextId - kJobsPerRound;
        std::thread chaos([&, seed = random()] {
            std::mt19937 chance(seed);
            while (!roundOver) {
                std::this_thread::sleep_for(std::chrono::milliseconds(30 + chance() % 170));
                const unsigned pick = chance() % 100;
                const TaskId id = firstId + static_cast<TaskId>(chance() % kJobsPerRound);
                const PageKind page = kPages[chance() % std::size(kPages)];
                QMetaObject::invokeMethod(
                    runner.get(),
                    [&, pick, id, page] {
                        if (pick < 90) {
                            end(id, Ending::Removed);
                            engine.RemoveTask(tasks[id].page, id);
                        } else if (pick < 98) {
                            for (auto& [taskId, task] : tasks) {
                                if (task.page == page)
                                    end(taskId, Ending::Cleared);
                            }
                            engine.ClearPage(page);
                        } else {
                            // Stop everything, as the companion does when interrupted.
                            for (auto& [taskId, task] : tasks)
                                end(taskId, Ending::Cleared);
                            engine.StopAllJobs();
                            for (const PageKind p : kPages)
                                engine.ClearPage(p);
                        }
                    },
                    Qt::QueuedConnection);
            }
        });
        QTimer guard;
        guard.setSingleShot(true);
        bool timedOut = false;
        QObject::connect(&guard, &QTimer::timeout, [&] {
            timedOut = true;
            for (const PageKind page : kPages)
                engine.ClearPage(page);
        });
        guard.start(60000);
        runner->run();
        roundOver = true;
        chaos.join();
        test::Pump(50);  // the last requests of the chaos thread
        ASSERT_FALSE(timedOut) << "round " << round;
        if (round == 0) {
            ASSERT_TRUE(test::WaitFor([] { return test::NoChildProcesses(); }, 5000));
            descriptorsAfterFirstRound = OpenDescriptors();
        }
    }

    runner.reset();
    EXPECT_TRUE(test::NoChildProcesses()) << "no ffmpeg, running or zombie, is left";
    EXPECT_EQ(OpenDescriptors(), descriptorsAfterFirstRound) << "no descriptor leaked";
    EXPECT_EQ(endedTwice, 0);

    int done = 0;
    int stopped = 0;
    for (const auto& [id, task] : tasks) {
        // Queued tasks of a round may still be waiting when everything was stopped.
        EXPECT_NE(task.ending, Ending::Failed) << id;
        struct stat info {};
        const bool exists = ::stat(task.output.c_str(), &info) == 0;
        if (task.ending == Ending::Done) {
            ++done;
            EXPECT_TRUE(exists && info.st_size > 0) << id;
        } else {
            ++stopped;
            // A stop that arrives after ffmpeg ended well but before its report was handled
            // finds the job decided: that file is whole and stays. Any other is gone.
            if (exists) {
                EXPECT_NEAR(ProbeDurationSeconds(task.output), 0.2, 0.11) << "no partial file of task " << id;
            }
        }
    }
    EXPECT_EQ(done + stopped, kRounds * kJobsPerRound);
    EXPECT_GT(done, kRounds * kJobsPerRound / 10) << "most jobs ran";
    EXPECT_GT(stopped, 0) << "the chaos reached some jobs";
}

}  // namespace
}  // namespace tolvex
