#include "tasks/LaunchJob.h"

#include "app/ConsoleLog.h"
#include "app/PostedMessage.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/OutputReservation.h"
#include "tasks/StderrReader.h"

#include <sys/stat.h>

#include <atomic>
#include <system_error>

namespace tolvex {

namespace {

std::atomic<uint64_t> g_nextSerial{1};

std::vector<std::string> ArgvOf(const CommandLine& command, const std::string& ffmpeg)
{
    std::vector<std::string> argv = command.argv();
    if (argv.front().empty())
        argv.front() = ffmpeg;
    return argv;
}

// The output that must exist and not be empty when the job is done: a regular file or a
// name not taken yet; a device such as /dev/null is not checked.
std::string CheckedOutput(const std::string& output)
{
    if (output.empty())
        return {};
    struct stat info {};
    if (::stat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return {};
    return output;
}

}  // namespace

std::unique_ptr<RunningJob> LaunchJob(const JobPlan& plan, TaskId taskId, PageKind pageKind, QObject* receiver,
                                      const LaunchOptions& options, std::string& error)
{
    const std::string ffmpeg = FfmpegProgramPath();
    std::shared_ptr<JobOutputs> outputs =
        options.outputs ? options.outputs : std::make_shared<JobOutputs>(std::string(), plan.scratchFiles);

    auto job = std::make_shared<JobProcess>();
    UniqueFd output;
    // Only an absolute program path runs: a bare or relative name would be looked up where
    // the user happens to stand.
    for (size_t pass = 0; pass < plan.passCount(); ++pass) {
        const std::string program = ArgvOf(plan.pass(pass), ffmpeg).front();
        if (program.empty() || program.front() != '/') {
            error = kFfmpegNotFound;
            outputs->discard();
            return nullptr;
        }
    }
    std::shared_ptr<ChildProcess> process = job->start(ArgvOf(plan.pass(0), ffmpeg), output, error);
    if (!process) {
        outputs->discard();
        return nullptr;
    }

    auto control = std::make_shared<JobControl>();
    ReaderArgs args;
    args.taskId = taskId;
    args.readPipe = std::move(output);
    args.mainWindow = receiver;
    args.engine = options.engine;
    args.serial = g_nextSerial.fetch_add(1, std::memory_order_relaxed);
    const uint64_t serial = args.serial;
    args.pageKind = pageKind;
    args.process = process;
    args.job = job;
    for (size_t pass = 1; pass < plan.passCount(); ++pass)
        args.laterPasses.push_back(ArgvOf(plan.pass(pass), ffmpeg));
    args.beforeLastPass = plan.beforeLastPass;
    args.outputs = outputs;
    args.checkedOutput = CheckedOutput(plan.outputPath());
    args.outputLimit = plan.outputLimit;
    args.tooLargeReason = plan.tooLargeReason;
    args.silenceLimit = options.silenceLimit;
    args.control = control;
    try {
        std::thread reader(StderrReader, std::move(args));
        return std::make_unique<RunningJob>(taskId, pageKind, serial, std::move(job), std::move(control),
                                            std::move(outputs), std::move(reader));
    } catch (const std::system_error& e) {
        // Without a reader nobody would see the job end: it does not run at all.
        job->stop();
        process->waitForExit();
        outputs->discard();
        error = std::string("cannot start the output reader: ") + e.what();
        return nullptr;
    }
}

std::unique_ptr<RunningJob> ReserveAndLaunch(JobPlan& plan, TaskId taskId, PageKind pageKind, QObject* receiver,
                                             LaunchOptions options, std::string& error)
{
    options.outputs = ReservePlanOutput(plan, error);
    if (!options.outputs)
        return nullptr;
    if (!options.outputs->output().empty()) {
        auto record = std::make_unique<OutputNameRecord>();
        record->taskId = taskId;
        record->pageKind = static_cast<int32_t>(pageKind);
        record->scratchFiles = plan.scratchFiles;
        record->outputPath = options.outputs->output();
        record->dropped = plan.dropped;
        PostMessageTo(receiver, WM_TASK_OUTPUT, std::move(record));
    }
    for (size_t pass = 0; pass < plan.passCount(); ++pass)
        ConsoleLog("%s\n", plan.pass(pass).render().c_str());
    return LaunchJob(plan, taskId, pageKind, receiver, options, error);
}

std::unique_ptr<RunningJob> LaunchJob(const CommandLine& command, TaskId taskId, PageKind pageKind, QObject* receiver,
                                      std::string& error)
{
    JobPlan plan;
    plan.command = command;
    return LaunchJob(plan, taskId, pageKind, receiver, LaunchOptions{}, error);
}

}  // namespace tolvex
