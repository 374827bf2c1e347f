#include "tasks/PageJobFactory.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "app/Helpers.h"
#include "media/CompressProbe.h"
#include "media/MediaProbe.h"
#include "tasks/ClipCommands.h"
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

ProbedMedia ProbeForJob(const QString& path)
{
    MediaInfo info(ToNarrowAnsi(path));
    ProbedMedia probed;
    probed.duration = -1.0;
    if (ProbeMediaInfo(info) != 0)
        return probed;
    probed.duration = static_cast<double>(info.durationSeconds);
    probed.width = info.width;
    probed.height = info.height;
    probed.rotated = info.hasRotateTag != 0;
    return probed;
}

PageJobFactory::PageJobFactory(Tables tables, JobInputSource& source, MediaProber prober, QObject* receiver,
                               std::string ffmpegPath, const EncoderSupport& encoders)
    : m_tables(tables),
      m_source(source),
      m_prober(std::move(prober)),
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
        return clip ? Run(BuildSplitCommand(context, *clip)) : Drop();
    }
    if (page == PageKind::Gif) {
        const auto clip = m_tables.gifClips.find(taskId);
        return clip ? Run(BuildGifCommand(context, *clip)) : Drop();
    }

    // The other pages need the item's input file; a removed item has none left.
    const auto item = m_tables.items.find(taskId);
    if (!item)
        return Drop();

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
        const auto source = ProbeCompressSource(ToNarrowAnsi(item->fullPath));
        return CompressJobPlan(
            BuildCompressJob(context, *item, *settings, source, m_encoders, NewPassLogBase().toStdString()));
    }
    case PageKind::Rotate: {
        const auto settings = m_source.rotateSettings(taskId);
        if (!settings)
            return Drop();
        return Run(BuildRotateCommand(context, *item, *settings));
    }
    case PageKind::Extract:
        return Run(BuildExtractCommand(context, *item, m_source.extractSettings()));
    case PageKind::Mute:
        return Run(BuildMuteCommand(context, *item, m_source.muteSettings()));
    case PageKind::Music:
        return Run(BuildMusicCommand(context, *item, m_source.musicSettings()));
    case PageKind::Split:
    case PageKind::Gif:
    case PageKind::Merge:
        break;
    }
    return Drop();
}

MergeJob PageJobFactory::planMerge(const std::vector<TaskId>& selected, const MergeSettings& settings)
{
    std::vector<MergeSource> sources;
    sources.reserve(selected.size());
    for (const TaskId id : selected) {
        const MediaItem item = m_tables.items.get(id);
        const ProbedMedia probed = m_prober ? m_prober(item.fullPath) : ProbedMedia{};
        sources.push_back(MergeSource{item.fullPath, probed.width, probed.height, probed.rotated, item.duration});
    }
    MergeJob job = BuildMergeJob(contextNow(), sources, settings);
    ConsoleLog("mergeParamStr:%s\n", job.videoChains.c_str());
    ConsoleLog("mergeInputStr: %s\n", job.concatInputs.c_str());
    return job;
}

}  // namespace tolvex
