#include "tasks/LaunchJob.h"

#include "tasks/FfmpegLocator.h"
#include "tasks/StderrReader.h"

#include <system_error>

namespace tolvex {

std::unique_ptr<RunningJob> LaunchJob(const CommandLine& command, TaskId taskId, PageKind pageKind,
                                      QObject* receiver, std::string& error)
{
    std::vector<std::string> argv = command.argv();
    if (argv.front().empty())
        argv.front() = FfmpegProgramPath();

    UniqueFd output;
    std::shared_ptr<ChildProcess> process = ChildProcess::Spawn(argv, output, error);
    if (!process)
        return nullptr;

    auto control = std::make_shared<JobControl>();
    ReaderArgs args;
    args.taskId = taskId;
    args.readPipe = std::move(output);
    args.mainWindow = receiver;
    args.pageKind = pageKind;
    args.process = process;
    args.control = control;
    try {
        std::thread reader(StderrReader, std::move(args));
        return std::make_unique<RunningJob>(taskId, pageKind, std::move(process), std::move(control),
                                            std::move(reader));
    } catch (const std::system_error& e) {
        // Without a reader nobody would see the job end: it does not run at all.
        process->kill();
        process->waitForExit();
        error = std::string("cannot start the output reader: ") + e.what();
        return nullptr;
    }
}

}  // namespace tolvex
