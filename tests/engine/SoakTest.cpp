// Many short jobs on several pages while another thread keeps removing, clearing and
// stopping at random: every task ends exactly once, no process or zombie is left, no file
// descriptor leaks, and a task that was not reported done leaves no file at all.

#include "app/PostedMessage.h"
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
#include <functional>
#include <map>
#include <memory>
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

// A request of the chaos thread, posted to the engine's thread the way the program's own
// threads post: a typed event that owns its record.
constexpr int kChaosMessage = 1990;

struct ChaosRecord : MessageRecord {
    unsigned pick = 0;
    TaskId id = 0;
    PageKind page = PageKind::Convert;
};

// Runs each chaos request on the thread it lives on (the engine's).
class ChaosReceiver : public QObject {
public:
    explicit ChaosReceiver(std::function<void(const ChaosRecord&)> act) : m_act(std::move(act)) {}

protected:
    bool event(QEvent* event) override
    {
        AcceptPostedMessage();
        if (event->type() != static_cast<QEvent::Type>(kChaosMessage))
            return QObject::event(event);
        if (const auto* record = static_cast<MessageEvent*>(event)->recordAs<ChaosRecord>())
            m_act(*record);
        return true;
    }

private:
    std::function<void(const ChaosRecord&)> m_act;
};

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
        ChaosReceiver receiver([&](const ChaosRecord& request) {
            if (request.pick < 90) {
                end(request.id, Ending::Removed);
                engine.RemoveTask(tasks[request.id].page, request.id);
            } else if (request.pick < 98) {
                for (auto& [taskId, task] : tasks) {
                    if (task.page == request.page)
                        end(taskId, Ending::Cleared);
                }
                engine.ClearPage(request.page);
            } else {
                // Stop everything, as the companion does when interrupted.
                for (auto& [taskId, task] : tasks)
                    end(taskId, Ending::Cleared);
                engine.StopAllJobs();
                for (const PageKind p : kPages)
                    engine.ClearPage(p);
            }
        });
        std::atomic<bool> roundOver{false};
        const TaskId firstId = nextId - kJobsPerRound;
        std::thread chaos([&, seed = random()] {
            std::mt19937 chance(seed);
            while (!roundOver) {
                std::this_thread::sleep_for(std::chrono::milliseconds(30 + chance() % 170));
                auto request = std::make_unique<ChaosRecord>();
                request->pick = chance() % 100;
                request->id = firstId + static_cast<TaskId>(chance() % kJobsPerRound);
                request->page = kPages[chance() % std::size(kPages)];
                PostMessageTo(&receiver, kChaosMessage, std::move(request));
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
            // Also a stop that lands after ffmpeg ended well but before the engine took the
            // done: that done is void, and its file goes with it.
            EXPECT_FALSE(exists) << "no file of task " << id << ", which was not reported done";
        }
    }
    EXPECT_EQ(done + stopped, kRounds * kJobsPerRound);
    EXPECT_GT(done, kRounds * kJobsPerRound / 10) << "most jobs ran";
    EXPECT_GT(stopped, 0) << "the chaos reached some jobs";
}

}  // namespace
}  // namespace tolvex
