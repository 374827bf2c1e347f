// What the task engine costs over running ffmpeg by hand: the same short conversions run
// through one page's worker and directly one after another, in alternating rounds; the CPU
// the output readers used per job; how much eight pages at once gain over one page doing
// the same jobs in sequence; and how far real-time jobs on four pages overlap.
//
// usage: bench-engine-overhead [JOBS] [ROUNDS]

#include "app/ConsoleLog.h"
#include "tasks/ChildProcess.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/StderrReader.h"
#include "tests/support/ScriptedFactory.h"
#include "tests/support/TestMedia.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

using namespace tolvex;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

CommandLine ConvertCommand(const std::string& input, const std::string& output, bool realTime = false)
{
    CommandLine command(FfmpegProgramPath());
    if (realTime)
        command.add("-re");  // paced by the clip's own clock: it lasts as long as the clip whatever the load
    command.add("-i").addQuoted(input);
    command.add("-c:v").add("mpeg4").add("-threads").add("1").add("-c:a").add("aac").add("-y").addQuoted(output);
    return command;
}

// Runs one command to its end the plain way: spawn, drain the output, reap.
bool RunDirect(const CommandLine& command)
{
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::spawn(command.argv(), pipe, error);
    if (!process)
        return false;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipe.get(), buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
    }
    return process->waitForExit().success();
}

// Runs `jobs` jobs made by `command` spread over `pages` pages (queued round-robin) and
// returns the wall time.
double RunThroughEngine(const std::function<CommandLine(const std::string& output)>& command, const QTemporaryDir& out,
                        int jobs, int pages, int* failures)
{
    test::ScriptedFactory factory;
    HeadlessRunner runner(factory);
    std::map<PageKind, std::vector<TaskId>> queued;
    for (int id = 0; id < jobs; ++id) {
        const PageKind page = kQueuedPages[id % pages];
        factory.set(page, id,
                    test::CommandPlan(command(out.filePath(QStringLiteral("e%1.mp4").arg(id)).toStdString())));
        queued[page].push_back(id);
    }
    const auto start = Clock::now();
    for (const auto& [page, ids] : queued)
        runner.engine().StartPage(page, ids);
    *failures += runner.run();
    return Seconds(Clock::now() - start);
}

double RunDirectly(const std::string& input, const QTemporaryDir& out, int jobs, int* failures)
{
    const auto start = Clock::now();
    for (int id = 0; id < jobs; ++id) {
        if (!RunDirect(ConvertCommand(input, out.filePath(QStringLiteral("d%1.mp4").arg(id)).toStdString())))
            ++*failures;
    }
    return Seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetConsoleTarget(ConsoleTarget::Silent);
    const int jobs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    QTemporaryDir dir;
    const std::string input = dir.filePath(QStringLiteral("input.mp4")).toStdString();
    if (!test::MakeVideo(input, 2.0, 320, 240)) {
        std::fprintf(stderr, "cannot make the input with %s\n", FfmpegProgramPath().c_str());
        return 1;
    }

    int failures = 0;
    // Warm-up: the first runs pay for loading ffmpeg's libraries.
    RunDirectly(input, dir, 2, &failures);

    const auto convert = [&](const std::string& output) { return ConvertCommand(input, output); };
    std::vector<double> engineTimes;
    std::vector<double> directTimes;
    int64_t readerCpu = 0;
    for (int round = 0; round < rounds; ++round) {
        const int64_t cpuBefore = TotalReaderCpuNanoseconds();
        engineTimes.push_back(RunThroughEngine(convert, dir, jobs, 1, &failures));
        readerCpu += TotalReaderCpuNanoseconds() - cpuBefore;
        directTimes.push_back(RunDirectly(input, dir, jobs, &failures));
    }
    const double engineBest = *std::min_element(engineTimes.begin(), engineTimes.end());
    const double directBest = *std::min_element(directTimes.begin(), directTimes.end());

    // Eight pages at once against one page doing the same jobs in sequence.
    const int parallelJobs = 16;
    const double oneByOne = RunThroughEngine(convert, dir, parallelJobs, 1, &failures);
    const double eightAtOnce = RunThroughEngine(convert, dir, parallelJobs, 8, &failures);

    // Jobs paced in real time cost little CPU, so pages side by side should take about as long
    // as one job: four such jobs on four pages against the same four on one page, in turn.
    const auto realTime = [&](const std::string& output) { return ConvertCommand(input, output, true); };
    const int sideBySideJobs = 4;
    const double inTurn = RunThroughEngine(realTime, dir, sideBySideJobs, 1, &failures);
    const double sideBySide = RunThroughEngine(realTime, dir, sideBySideJobs, sideBySideJobs, &failures);

    std::printf("ffmpeg: %s\n", FfmpegProgramPath().c_str());
    std::printf("jobs per run: %d, rounds: %d, failed jobs: %d\n", jobs, rounds, failures);
    std::printf("direct, best round: %.3f s (%.1f ms per job)\n", directBest, directBest * 1000.0 / jobs);
    std::printf("engine, best round: %.3f s (%.1f ms per job)\n", engineBest, engineBest * 1000.0 / jobs);
    std::printf("reader cpu per job: %.3f ms\n", static_cast<double>(readerCpu) / 1e6 / (jobs * rounds));
    std::printf("one page, %d jobs: %.3f s; eight pages: %.3f s\n", parallelJobs, oneByOne, eightAtOnce);
    std::printf("parallel speedup: %.2f\n", oneByOne / eightAtOnce);
    std::printf("real-time jobs, %d on one page: %.3f s; on %d pages: %.3f s\n", sideBySideJobs, inTurn, sideBySideJobs,
                sideBySide);
    std::printf("side-by-side ratio: %.3f (1/%d when the pages overlap fully, 1 when they take turns)\n",
                sideBySide / inTurn, sideBySideJobs);
    std::printf("overhead ratio: %.3f\n", engineBest / directBest);
    return failures == 0 ? 0 : 1;
}
