#include "tasks/PageJobFactory.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "app/Helpers.h"
#include "media/CompressProbe.h"
#include "media/MediaProbe.h"
#include "media/OutputContainer.h"
#include "tasks/ClipCommands.h"
#include "tasks/CommandTokens.h"
#include "tasks/CompressCommand.h"
#include "tasks/ConvertCommand.h"
#include "tasks/SingleInputCommands.h"

#include <unistd.h>

#include <atomic>
#include <cmath>

namespace tolvex {

namespace {

JobPlan Drop()
{
    JobPlan plan;
    plan.action = JobPlan::Action::Drop;
    return plan;
}

// A name in the temp folder for one job's pass logs: the process and a counter keep two
// jobs (of this program or of tolvex-cli beside it) apart.
QString NewPassLogBase()
{
    static std::atomic<int> counter{0};
    return TempFolder() + QStringLiteral("/compress-pass-%1-%2").arg(getpid()).arg(counter++);
}

JobPlan Run(CommandLine command)
{
    JobPlan plan;
    plan.command = std::move(command);
    return plan;
}

}  // namespace

PageJobFactory::PageJobFactory(Tables tables, JobInputSource& source, QObject* receiver, std::string ffmpegPath,
                               const EncoderSupport& encoders)
    : m_tables(tables),
      m_source(source),
      m_receiver(receiver),
      m_ffmpegPath(std::move(ffmpegPath)),
      m_encoders(encoders)
{
}

void PageJobFactory::shutdown()
{
    m_stopping = true;
    m_source.shutdown();
}

JobContext PageJobFactory::contextNow()
{
    // The folder may have gone since it was chosen: make it again so ffmpeg can write.
    const QString folder = m_source.outputFolder();
    if (!folder.isEmpty())
        EnsureFolderPath(folder);
    return JobContext{m_ffmpegPath, folder, QTime::currentTime()};
}

void PageJobFactory::announceStart(PageKind page, TaskId taskId)
{
    auto record = std::make_unique<TaskStartRecord>();
    record->taskId = taskId;
    record->pageKind = static_cast<int32_t>(page);
    PostMessageTo(m_receiver.data(), WM_TASK_STARTED, std::move(record));
}

JobPlan PageJobFactory::planJob(PageKind page, TaskId taskId)
{
    if (m_stopping)
        return Drop();
    JobPlan result = plan(page, taskId, contextNow());
    // An answer that raced with the engine's stop is not launched.
    if (m_stopping)
        return Drop();
    if (result.action == JobPlan::Action::Run)
        announceStart(page, taskId);
    return result;
}

JobPlan PageJobFactory::plan(PageKind page, TaskId taskId, const JobContext& context)
{
    // The clip pages read their clip record; an id without one has nothing to run.
    if (page == PageKind::Split) {
        const auto clip = m_tables.splitClips.find(taskId);
        if (!clip)
            return Drop();
        return Run(BuildSplitCommand(context, *clip));
    }
    if (page == PageKind::Gif) {
        const auto clip = m_tables.gifClips.find(taskId);
        return clip ? Run(BuildGifCommand(context, *clip)) : Drop();
    }

    // The other pages need the item's input file; a removed item has none left.
    const auto item = m_tables.items.find(taskId);
    if (!item)
        return Drop();

    // Pages that keep the input's format need a usable extension: a name without one
    // takes the probed container's.
    std::string own;
    if (page == PageKind::Compress || page == PageKind::Rotate || page == PageKind::Mute || page == PageKind::Music) {
        if (!MuxerKnowsExtension(ExtensionOf(ToNarrowAnsi(item->fileName))))
            own = OwnOutputExtension(ToNarrowAnsi(item->fileName), ToNarrowUtf8(item->fullPath));
    }

    switch (page) {
    case PageKind::Convert: {
        const auto settings = m_source.convertSettings(taskId);
        if (!settings)
            return Drop();
        return Run(BuildConvertCommand(context, *item, *settings, m_tables.params.find(taskId), m_encoders));
    }
    case PageKind::Compress: {
        const auto settings = m_source.compressSettings(taskId);
        if (!settings)
            return Drop();
        ProbeLimits limits;
        limits.abort = &m_stopping;
        const auto source = ProbeCompressSource(ToNarrowAnsi(item->fullPath), limits);
        const CompressJob job =
            BuildCompressJob(context, *item, *settings, source, m_encoders, NewPassLogBase().toStdString(), own);
        if (job.refusal == CompressRefusal::None) {
            const std::lock_guard lock(m_promisesLock);
            m_promises[taskId] = CompressPromise{job.outputPath, job.targetBytes};
        }
        return CompressJobPlan(job);
    }
    case PageKind::Rotate: {
        const auto settings = m_source.rotateSettings(taskId);
        if (!settings)
            return Drop();
        return Run(BuildRotateCommand(context, *item, *settings, own));
    }
    case PageKind::Extract:
        return Run(BuildExtractCommand(context, *item, m_source.extractSettings()));
    case PageKind::Mute:
        return Run(BuildMuteCommand(context, *item, m_source.muteSettings(), item->hasAudio, own));
    case PageKind::Music:
        return Run(BuildMusicCommand(context, *item, m_source.musicSettings(), item->hasAudio, own));
    case PageKind::Split:
    case PageKind::Gif:
    case PageKind::Merge:
        break;
    }
    return Drop();
}

std::optional<PageJobFactory::CompressPromise> PageJobFactory::compressPromise(TaskId taskId) const
{
    const std::lock_guard lock(m_promisesLock);
    const auto it = m_promises.find(taskId);
    return it == m_promises.end() ? std::nullopt : std::optional(it->second);
}

MergeJob PageJobFactory::planMerge(const std::vector<TaskId>& selected, const MergeSettings& settings)
{
    std::vector<MergeSource> sources;
    sources.reserve(selected.size());
    for (const TaskId id : selected) {
        // What the add probed: the window's thread never waits for a probe here.
        const MediaItem item = m_tables.items.get(id);
        sources.push_back(
            MergeSource{item.fullPath, item.width, item.height, item.uprightTurn, item.duration, item.hasAudio});
    }
    MergeJob job = BuildMergeJob(contextNow(), sources, settings);
    ConsoleLog("mergeParamStr:%s\n", job.videoChains.c_str());
    ConsoleLog("mergeInputStr: %s\n", job.concatInputs.c_str());
    return job;
}

}  // namespace tolvex
