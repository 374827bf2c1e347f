#include "cli/CliSession.h"

#include "app/Helpers.h"
#include "app/SignalWatch.h"
#include "cli/JsonEvents.h"
#include "media/EncoderSupport.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/MediaItemProbe.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <map>

namespace tolvex::cli {

namespace {

// Ctrl-C, termination, a hang-up, or a reader of standard output that went away (SIGPIPE):
// every job stops and every page is emptied, so the run ends; the partial outputs go with
// their jobs.
void StopEverything(HeadlessRunner* runner)
{
    if (!runner)
        return;
    std::fprintf(stderr, "tolvex-cli: interrupted, stopping the jobs\n");
    runner->engine().StopAllJobs();
    for (const PageKind page : kQueuedPages)
        runner->engine().ClearPage(page);
    runner->engine().ClearPage(PageKind::Merge);
}

// Made before the runner, so that it outlives it: a second signal while the jobs are
// stopped and their files deleted (the runner's end) does not end the process half-way.
SignalWatch WatchEndingSignals(HeadlessRunner** runner)
{
    return SignalWatch({SIGINT, SIGTERM, SIGHUP, SIGPIPE}, [runner](int) { StopEverything(*runner); });
}

}  // namespace

CliSession::CliSession(const char* command, QString outputFolder)
    : m_command(command),
      m_source(std::move(outputFolder)),
      m_factory({m_items, m_params, m_splitClips, m_gifClips}, m_source, nullptr, FfmpegProgramPath(),
                EncoderSupport::system())
{
}

CliSession::~CliSession() = default;

TaskId CliSession::addFile(const QString& absolutePath, const QString& scanRoot)
{
    const QFileInfo info(absolutePath);
    MediaItem item;
    item.fileName = info.fileName();
    item.folder = info.absolutePath();
    item.fullPath = absolutePath;
    item.scanRoot = scanRoot;
    item.fileSize = info.size();
    ProbeMediaItem(item);
    const TaskId id = m_nextId++;
    m_items.set(id, std::move(item));
    return id;
}

TaskId CliSession::addSplitClip(SplitClip clip)
{
    clip.itemId = m_nextId++;
    m_splitClips.add(clip);
    return clip.itemId;
}

TaskId CliSession::addGifClip(GifClip clip)
{
    clip.itemId = m_nextId++;
    m_gifClips.add(clip);
    return clip.itemId;
}

JsonItem CliSession::jsonItem(PageKind page, TaskId id) const
{
    JsonItem item{page, id, {}};
    if (const auto clip = m_splitClips.find(id))
        item.input = clip->sourcePath;
    else if (const auto gif = m_gifClips.find(id))
        item.input = gif->sourcePath;
    else
        item.input = ToNarrowUtf8(m_items.get(id).fullPath);
    return item;
}

QString CliSession::label(TaskId id) const
{
    if (const auto clip = m_splitClips.find(id))
        return QString::fromStdString(clip->outputName);
    if (const auto clip = m_gifClips.find(id))
        return QString::fromStdString(clip->outputName);
    return m_items.get(id).fileName;
}

int CliSession::printCommands(PageKind page, const std::vector<TaskId>& ids)
{
    int status = 0;
    for (const TaskId id : ids) {
        const JobPlan plan = m_factory.planJob(page, id);
        if (plan.action == JobPlan::Action::Run) {
            // A job of several passes prints each pass, the one that writes the file last.
            for (size_t pass = 0; pass < plan.passCount(); ++pass)
                std::printf("%s\n", plan.pass(pass).render().c_str());
            continue;
        }
        std::fprintf(stderr, "tolvex-cli %s: %s: %s\n", m_command, label(id).toLocal8Bit().constData(),
                     plan.reason.empty() ? "nothing to run" : plan.reason.c_str());
        status = 1;
    }
    std::fflush(stdout);
    return status;
}

std::string CliSession::compressResultNote(TaskId id, const std::string& outputPath) const
{
    const auto promise = m_factory.compressPromise(id);
    if (!promise)
        return {};
    const QFileInfo output(QString::fromStdString(outputPath.empty() ? promise->outputPath : outputPath));
    if (!output.isFile())
        return {};
    return ", " + ToNarrowUtf8(FormatFileSize(output.size())) + " (" + std::to_string(output.size()) +
           " bytes) of the promised " + ToNarrowUtf8(FormatFileSize(promise->promisedBytes)) + " (" +
           std::to_string(promise->promisedBytes) + " bytes)";
}

int CliSession::finish(PageKind page, size_t jobs, int done, int failed)
{
    if (m_json)
        std::printf("%s\n", JsonSummaryLine(page, jobs, done, failed).c_str());
    else
        std::printf("%s: %d of %zu jobs completed, %d failed\n", PageName(page), done, jobs, failed);
    std::fflush(stdout);
    return done == static_cast<int>(jobs) && failed == 0 ? 0 : 1;
}

int CliSession::run(PageKind page, const std::vector<TaskId>& ids)
{
    HeadlessRunner* running = nullptr;
    const SignalWatch interrupt = WatchEndingSignals(&running);
    HeadlessRunner runner(m_factory);
    running = &runner;
    m_factory.setReceiver(&runner);

    std::map<TaskId, int> shown;
    HeadlessRunner::Callbacks callbacks;
    callbacks.progress = [&](const TaskUpdate& update) {
        auto [it, fresh] = shown.try_emplace(update.taskId, -1);
        if (!fresh && it->second == update.percent)
            return;
        it->second = update.percent;
        if (m_json)
            std::printf("%s\n", JsonProgressLine(jsonItem(page, update.taskId), update).c_str());
        else
            std::printf("%s %d %s: %d%%%s\n", PageName(page), update.taskId,
                        label(update.taskId).toLocal8Bit().constData(), update.percent, TimeLeftSuffix(update).c_str());
        std::fflush(stdout);
    };
    std::map<TaskId, std::string> outputs;
    std::map<TaskId, std::string> dropped;
    callbacks.output = [&](const TaskUpdate& update) {
        outputs[update.taskId] = update.outputPath;
        dropped[update.taskId] = update.dropped;
    };
    callbacks.done = [&](const TaskUpdate& record) {
        const auto output = outputs.find(record.taskId);
        if (m_json) {
            const auto promise = page == PageKind::Compress ? m_factory.compressPromise(record.taskId) : std::nullopt;
            const std::string written = output != outputs.end() ? output->second : promise ? promise->outputPath : "";
            std::printf("%s\n", JsonDoneLine(jsonItem(page, record.taskId), record, written,
                                             promise ? std::optional(promise->promisedBytes) : std::nullopt)
                                    .c_str());
            std::fflush(stdout);
            return;
        }
        std::printf(
            "%s %d %s: done%s%s%s%s%s\n", PageName(page), record.taskId, label(record.taskId).toLocal8Bit().constData(),
            output == outputs.end() ? "" : " -> ", output == outputs.end() ? "" : output->second.c_str(),
            page == PageKind::Compress
                ? compressResultNote(record.taskId, output == outputs.end() ? std::string() : output->second).c_str()
                : "",
            DroppedSuffix(dropped[record.taskId]).c_str(), TimeTakenSuffix(record).c_str());
        std::fflush(stdout);
    };
    callbacks.failed = [&](const TaskUpdate& record) {
        if (m_json)
            std::printf("%s\n", JsonFailedLine(jsonItem(page, record.taskId), record).c_str());
        else
            std::printf("%s %d %s: failed%s%s\n", PageName(page), record.taskId,
                        label(record.taskId).toLocal8Bit().constData(), record.reason.empty() ? "" : ": ",
                        record.reason.c_str());
        std::fflush(stdout);
    };
    runner.setCallbacks(std::move(callbacks));

    runner.engine().StartPage(page, ids);
    runner.run();
    const int done = runner.doneCount();
    const int failed = runner.failedCount();
    m_factory.shutdown();
    const int status = finish(page, ids.size(), done, failed);
    return interrupt.exitStatus(status);
}

std::optional<MergeJob> CliSession::planMerge(const std::vector<TaskId>& ids, const MergeSettings& settings,
                                              bool lossless)
{
    if (!lossless)
        return m_factory.planMerge(ids, settings);
    PageJobFactory::LosslessMergePlan plan = m_factory.planLosslessMerge(ids, settings);
    if (!plan.differences.empty()) {
        std::fprintf(stderr, "tolvex-cli %s: the files cannot be joined losslessly:\n%s\n", m_command,
                     JoinDifferencesText(plan.differences, JoinTextLanguage::English).c_str());
    } else if (!plan.job) {
        std::fprintf(stderr, "tolvex-cli %s: %s\n", m_command, plan.failure.c_str());
    }
    return std::move(plan.job);
}

int CliSession::printMerge(const std::vector<TaskId>& ids, const MergeSettings& settings, bool lossless)
{
    const std::optional<MergeJob> job = planMerge(ids, settings, lossless);
    if (!job)
        return 1;
    std::printf("%s\n", job->command.render().c_str());
    // A lossless join reads its list and chapters from files: show what they hold, as
    // comment lines, since they go with this process.
    for (const std::string& file : job->scratchFiles) {
        QFile scratch(QString::fromStdString(file));
        if (!scratch.open(QIODevice::ReadOnly))
            continue;
        std::printf("# %s:\n", file.c_str());
        for (const QByteArray& line : scratch.readAll().split('\n')) {
            if (!line.isEmpty())
                std::printf("#   %s\n", line.constData());
        }
        scratch.close();
        scratch.remove();
    }
    std::fflush(stdout);
    return 0;
}

int CliSession::runMerge(const std::vector<TaskId>& ids, const MergeSettings& settings, bool lossless)
{
    const std::optional<MergeJob> planned = planMerge(ids, settings, lossless);
    if (!planned)
        return finish(PageKind::Merge, 1, 0, 1);
    const MergeJob& job = *planned;
    HeadlessRunner* running = nullptr;
    const SignalWatch interrupt = WatchEndingSignals(&running);
    HeadlessRunner runner(m_factory);
    running = &runner;
    runner.setMergeTotalSeconds(job.totalDuration);

    int shown = -1;
    std::string outputName = job.outputName;
    HeadlessRunner::Callbacks callbacks;
    std::string dropped;
    std::string outputPath = ToNarrowUtf8(m_source.outputFolder()) + "/" + job.outputName;
    // The merge has no input of its own: its item is named by its output.
    const auto mergeItem = [&] { return JsonItem{PageKind::Merge, 0, outputPath}; };
    callbacks.output = [&](const TaskUpdate& update) {
        outputPath = update.outputPath;
        outputName = update.outputPath.substr(update.outputPath.rfind('/') + 1);
        dropped = update.dropped;
    };
    callbacks.progress = [&](const TaskUpdate& update) {
        if (update.percent == shown)
            return;
        shown = update.percent;
        if (m_json)
            std::printf("%s\n", JsonProgressLine(mergeItem(), update).c_str());
        else
            std::printf("merge %s: %d%%%s\n", outputName.c_str(), update.percent, TimeLeftSuffix(update).c_str());
        std::fflush(stdout);
    };
    callbacks.done = [&](const TaskUpdate& update) {
        if (m_json) {
            std::printf("%s\n", JsonDoneLine(mergeItem(), update, outputPath, std::nullopt).c_str());
            std::fflush(stdout);
            return;
        }
        std::printf("merge %s: done%s%s\n", outputName.c_str(), DroppedSuffix(dropped).c_str(),
                    TimeTakenSuffix(update).c_str());
        std::fflush(stdout);
    };
    callbacks.failed = [&](const TaskUpdate& record) {
        // Say which input ffmpeg blamed, when it names one.
        std::string blamed;
        const int input = MergeInputNamedIn(record.reason, job.sources);
        if (input >= 0)
            blamed = " (input " + std::to_string(input + 1) + ": " + ToNarrowUtf8(job.sources[input].fullPath) + ")";
        if (m_json) {
            TaskUpdate named = record;
            named.reason += blamed;
            std::printf("%s\n", JsonFailedLine(mergeItem(), named).c_str());
            std::fflush(stdout);
            return;
        }
        std::printf("merge %s: failed%s%s%s\n", outputName.c_str(), record.reason.empty() ? "" : ": ",
                    record.reason.c_str(), blamed.c_str());
        std::fflush(stdout);
    };
    runner.setCallbacks(std::move(callbacks));

    runner.engine().startMerge(job.command, job.dropped, job.scratchFiles);
    runner.run();
    const int done = runner.doneCount();
    const int failed = runner.failedCount();
    m_factory.shutdown();
    const int status = finish(PageKind::Merge, 1, done, failed);
    return interrupt.exitStatus(status);
}

}  // namespace tolvex::cli
