#pragma once

// The job factory of the program and of tolvex-cli: for a queued task id it takes a
// snapshot of that item's inputs (the guarded tables with what the add probed, the settings
// of the window's controls through JobInputSource, the compress source's probe), announces
// the job start to the window and runs the page's command builder. It also plans the merge
// job, which has no queue.
//
// Thread use: planJob runs on the page workers, concurrently for different pages; it holds
// no lock of its own while it asks the input source. planMerge runs on the caller's (UI)
// thread. shutdown() may be called from any thread.

#include "media/OutputParamsTable.h"
#include "tasks/ClipRecords.h"
#include "tasks/JobFactory.h"
#include "tasks/JobInputs.h"
#include "tasks/JoinCheck.h"
#include "tasks/MediaItem.h"
#include "tasks/MergeCommand.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

class EncoderSupport;

class PageJobFactory : public JobFactory {
public:
    struct Tables {
        MediaItemTable& items;
        OutputParamsTable& params;
        SplitClipTable& splitClips;
        GifClipTable& gifClips;
    };

    // `receiver` gets WM_TASK_STARTED; `ffmpegPath` is the program every command starts with.
    PageJobFactory(Tables tables, JobInputSource& source, QObject* receiver, std::string ffmpegPath,
                   const EncoderSupport& encoders);

    // The receiver of WM_TASK_STARTED; set before the first task is queued.
    void setReceiver(QObject* receiver) { m_receiver = receiver; }

    JobPlan planJob(PageKind page, TaskId taskId) override;
    void shutdown() override;

    // What the last planned compress job of a task promised and where it writes: the front
    // ends show the real size beside the promise when the job is done. Any thread.
    struct CompressPromise {
        std::string outputPath;
        int64_t promisedBytes = 0;
    };
    std::optional<CompressPromise> compressPromise(TaskId taskId) const;

    // The merge of the selected items, in order, from what their adds probed: builds the
    // command and logs its filter texts (no probe: it runs on the window's thread). The caller launches it with
    // TaskEngine::StartMerge.
    MergeJob planMerge(const std::vector<TaskId>& selected, const MergeSettings& settings);

    // The lossless join of the selected items, in order: probes every file and compares
    // their tracks; when they match, writes the join's list and chapters and plans the job.
    struct LosslessMergePlan {
        std::optional<MergeJob> job;               // planned: the files match
        std::vector<FileDifferences> differences;  // the files that do not match, and how
        std::string failure;                       // a file that cannot be read or listed
    };
    // Probes: never on the window's thread. `abort` (may be null) ends the probes at once.
    LosslessMergePlan planLosslessMerge(const std::vector<TaskId>& selected, const MergeSettings& settings,
                                        const std::atomic<bool>* abort = nullptr);

private:
    JobPlan plan(PageKind page, TaskId taskId, const JobContext& context);
    JobPlan planItem(PageKind page, TaskId taskId, const MediaItem& item, const JobContext& context);
    // The context of an item's job: its output folder is its mirrored one (OutputTree), made.
    JobContext itemContext(const JobContext& context, const MediaItem& item);
    JobPlan planLosslessSplit(const SplitClip& clip, const JobContext& context, const StreamInventory* tracks);
    JobContext contextNow();
    void announceStart(PageKind page, TaskId taskId);

    Tables m_tables;
    JobInputSource& m_source;
    QPointer<QObject> m_receiver;
    std::string m_ffmpegPath;
    const EncoderSupport& m_encoders;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_promisesLock;
    std::map<TaskId, CompressPromise> m_promises;
};

}  // namespace tolvex
