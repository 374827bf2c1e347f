#include "tasks/PageJobFactory.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "app/Helpers.h"
#include "app/Settings.h"
#include "media/CompressProbe.h"
#include "media/KeyFrameProbe.h"
#include "media/MediaProbe.h"
#include "media/OutputContainer.h"
#include "tasks/ClipCommands.h"
#include "tasks/CommandTokens.h"
#include "tasks/CompressCommand.h"
#include "tasks/ConvertCommand.h"
#include "tasks/LosslessCommands.h"
#include "tasks/OutputTree.h"
#include "tasks/SingleInputCommands.h"
#include "tasks/TrackKeeping.h"

#include <QFile>

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

// A name in this process's temp folder for one job's pass logs: the folder keeps them apart
// from those of a window or a tolvex-cli beside it, the process id and a counter from
// those of the other jobs of this process.
QString NewPassLogBase()
{
    static std::atomic<int> counter{0};
    return ProcessTempFolder() + QStringLiteral("/compress-pass-%1-%2").arg(getpid()).arg(counter++);
}

JobPlan Fail(std::string reason)
{
    JobPlan plan;
    plan.action = JobPlan::Action::Fail;
    plan.reason = std::move(reason);
    return plan;
}

// A new file name in this process's temp folder for one lossless join's `what`.
std::string NewJoinFile(const char* what)
{
    static std::atomic<int> counter{0};
    return ToNarrowUtf8(ProcessTempFolder() +
                        QStringLiteral("/join-%1-%2-%3.txt").arg(getpid()).arg(counter++).arg(QLatin1String(what)));
}

bool WriteWhole(const std::string& path, const std::string& text)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
           file.flush();
}

JobPlan Run(CommandLine command)
{
    JobPlan plan;
    plan.command = std::move(command);
    return plan;
}

// Whether outputs take their input's modification time ("keep-file-date", on unless set
// to 0).
bool KeepsFileDate()
{
    QString value;
    ReadSetting(QStringLiteral("global"), QStringLiteral("keep-file-date"), QStringLiteral("1"), value, 0);
    return value.trimmed() != QLatin1String("0");
}

// What a job's input carries; nothing when it cannot be probed (the job then keeps what
// ffmpeg keeps by itself, and fails on its own if the file is unreadable).
std::optional<StreamInventory> TracksOf(const QString& path, const std::atomic<bool>* abort)
{
    ProbeLimits limits;
    limits.abort = abort;
    return ProbeStreamInventory(ToNarrowAnsi(path), limits);
}

const StreamInventory* Pointer(const std::optional<StreamInventory>& tracks)
{
    return tracks ? &*tracks : nullptr;
}

// A planned job that keeps `dropped` and the input's date.
JobPlan Finish(JobPlan plan, const std::string& inputPath, std::string dropped)
{
    plan.dropped = std::move(dropped);
    if (plan.action == JobPlan::Action::Run && KeepsFileDate())
        plan.dateSource = inputPath;
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
        const auto tracks = TracksOf(ToWideAnsi(clip->sourcePath), &m_stopping);
        std::string dropped;
        if (clip->lossless)
            return planLosslessSplit(*clip, context, Pointer(tracks));
        return Finish(Run(BuildSplitCommand(context, *clip, Pointer(tracks), &dropped)), clip->sourcePath, dropped);
    }
    if (page == PageKind::Gif) {
        const auto clip = m_tables.gifClips.find(taskId);
        return clip ? Run(BuildGifCommand(context, *clip)) : Drop();
    }

    // The other pages need the item's input file; a removed item has none left.
    const auto item = m_tables.items.find(taskId);
    if (!item)
        return Drop();
    return planItem(page, taskId, *item, itemContext(context, *item));
}

JobPlan PageJobFactory::planLosslessSplit(const SplitClip& clip, const JobContext& context,
                                          const StreamInventory* tracks)
{
    // The key frame the dialog showed; a clip added before it was found looks it up now.
    std::optional<double> key;
    if (clip.keyFrameSeconds >= 0.0)
        key = clip.keyFrameSeconds;
    else {
        ProbeLimits limits;
        limits.abort = &m_stopping;
        key = ProbeKeyFrameAtOrBefore(clip.sourcePath, ParseClock(clip.startText), limits);
    }
    if (!key)
        return Fail("no key frame to start a lossless cut at in " + clip.sourcePath);
    std::string dropped;
    return Finish(Run(BuildLosslessSplitCommand(context, clip, *key, tracks, &dropped)), clip.sourcePath, dropped);
}

JobContext PageJobFactory::itemContext(const JobContext& context, const MediaItem& item)
{
    JobContext own = context;
    own.outputFolder = ItemOutputFolder(context.outputFolder, item, m_source.keepsFolderTree());
    if (own.outputFolder != context.outputFolder)
        EnsureFolderPath(own.outputFolder);
    return own;
}

JobPlan PageJobFactory::planItem(PageKind page, TaskId taskId, const MediaItem& itemRecord, const JobContext& context)
{
    const MediaItem* item = &itemRecord;

    // Pages that keep the input's format need a usable extension: a name without one
    // takes the probed container's.
    std::string own;
    if (page == PageKind::Compress || page == PageKind::Rotate || page == PageKind::Mute || page == PageKind::Music) {
        if (!MuxerKnowsExtension(ExtensionOf(ToNarrowAnsi(item->fileName))))
            own = OwnOutputExtension(ToNarrowAnsi(item->fileName), ToNarrowUtf8(item->fullPath));
    }
    const auto tracks = TracksOf(item->fullPath, &m_stopping);
    const std::string input = ToNarrowAnsi(item->fullPath);
    std::string dropped;

    switch (page) {
    case PageKind::Convert: {
        const auto settings = m_source.convertSettings(taskId);
        if (!settings)
            return Drop();
        JobPlan plan = Run(BuildConvertCommand(context, *item, *settings, m_tables.params.find(taskId), m_encoders,
                                               Pointer(tracks), &dropped));
        return Finish(std::move(plan), input, dropped);
    }
    case PageKind::Compress: {
        const auto settings = m_source.compressSettings(taskId);
        if (!settings)
            return Drop();
        ProbeLimits limits;
        limits.abort = &m_stopping;
        const auto source = ProbeCompressSource(ToNarrowAnsi(item->fullPath), limits);
        const CompressJob job = BuildCompressJob(context, *item, *settings, source, m_encoders,
                                                 NewPassLogBase().toStdString(), own, Pointer(tracks));
        if (job.refusal == CompressRefusal::None) {
            const std::lock_guard lock(m_promisesLock);
            m_promises[taskId] = CompressPromise{job.outputPath, job.targetBytes};
        }
        return Finish(CompressJobPlan(job), input, job.dropped);
    }
    case PageKind::Rotate: {
        const auto settings = m_source.rotateSettings(taskId);
        if (!settings)
            return Drop();
        return Finish(Run(BuildRotateCommand(context, *item, *settings, own, Pointer(tracks), &dropped)), input,
                      dropped);
    }
    case PageKind::Extract: {
        std::vector<std::string> extras;
        JobPlan plan = Run(BuildExtractCommand(context, *item, m_source.extractSettings(), Pointer(tracks), &extras));
        plan.extraOutputs = std::move(extras);
        return Finish(std::move(plan), input, {});
    }
    case PageKind::Mute:
        return Finish(Run(BuildMuteCommand(context, *item, m_source.muteSettings(), item->hasAudio, own,
                                           Pointer(tracks), &dropped)),
                      input, dropped);
    case PageKind::Music:
        return Finish(Run(BuildMusicCommand(context, *item, m_source.musicSettings(), item->hasAudio, own,
                                            Pointer(tracks), &dropped)),
                      input, dropped);
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
        sources.push_back(MergeSource{item.fullPath, item.width, item.height, item.uprightTurn, item.duration,
                                      item.hasAudio, item.audioTrackCount});
    }
    MergeJob job = BuildMergeJob(contextNow(), sources, settings);
    ConsoleLog("mergeParamStr:%s\n", job.videoChains.c_str());
    ConsoleLog("mergeInputStr: %s\n", job.concatInputs.c_str());
    return job;
}

PageJobFactory::LosslessMergePlan PageJobFactory::planLosslessMerge(const std::vector<TaskId>& selected,
                                                                    const MergeSettings& settings,
                                                                    const std::atomic<bool>* abort)
{
    LosslessMergePlan result;
    std::vector<MergeSource> sources;
    std::vector<JoinInput> inputs;
    std::vector<std::string> paths;
    ProbeLimits limits;
    limits.abort = abort;
    for (const TaskId id : selected) {
        const MediaItem item = m_tables.items.get(id);
        const std::string path = ToNarrowAnsi(item.fullPath);
        std::optional<JoinInput> input = ProbeJoinInput(path, limits);
        if (!input) {
            result.failure = "cannot read " + ToNarrowUtf8(item.fullPath);
            return result;
        }
        // The chapters follow the files' own lengths, which is where the demuxer joins them.
        const double seconds = input->durationSeconds > 0.0 ? input->durationSeconds : item.duration;
        sources.push_back(MergeSource{item.fullPath, item.width, item.height, item.uprightTurn, seconds, item.hasAudio,
                                      item.audioTrackCount});
        inputs.push_back(std::move(*input));
        paths.push_back(path);
    }
    result.differences = CompareJoinInputs(inputs);
    if (!result.differences.empty())
        return result;
    const std::optional<std::string> list = ConcatListText(paths);
    if (!list) {
        result.failure = "a file name with a line break cannot be joined losslessly";
        return result;
    }
    const std::string listPath = NewJoinFile("list");
    const std::string chaptersPath = NewJoinFile("chapters");
    if (!WriteWhole(listPath, *list) || !WriteWhole(chaptersPath, ChaptersText(MergeChapters(sources)))) {
        QFile::remove(QString::fromStdString(listPath));
        QFile::remove(QString::fromStdString(chaptersPath));
        result.failure = "cannot write the list of the files to join in " + ToNarrowUtf8(ProcessTempFolder());
        return result;
    }
    MergeJob job = BuildLosslessMergeJob(contextNow(), sources, settings, listPath, chaptersPath);
    job.scratchFiles = {listPath, chaptersPath};
    result.job = std::move(job);
    return result;
}

}  // namespace tolvex
