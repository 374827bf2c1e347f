// What the compress page's two passes cost: its job (first pass, the rate set from what it
// measured, second pass) run through a page's worker, against one single-pass encode of the
// same file at the same rate with the same sound, run the same way; in alternating rounds,
// the best of each. The input is a 10-second 720p H.264 file with sound, compressed to mp4
// at strength 50.
//
// usage: bench-compress-time [ROUNDS]

#include "app/ConsoleLog.h"
#include "media/CompressProbe.h"
#include "media/EncoderSupport.h"
#include "media/MediaProbe.h"
#include "tasks/CompressCommand.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/HeadlessRunner.h"
#include "tests/support/ScriptedFactory.h"
#include "tests/support/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tolvex;
using Clock = std::chrono::steady_clock;

// Runs one plan on the compress page's worker; the wall time, or nothing when it failed.
std::optional<double> RunJob(const JobPlan& plan)
{
    test::ScriptedFactory factory;
    HeadlessRunner runner(factory);
    factory.set(PageKind::Compress, 1, plan);
    const auto start = Clock::now();
    runner.engine().StartPage(PageKind::Compress, {1});
    const int failures = runner.run();
    if (failures != 0 || runner.doneCount() != 1)
        return std::nullopt;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The second pass as a single-pass encode into `output`: the pass options dropped.
CommandLine SinglePass(const std::vector<std::string>& secondPass, const std::string& output)
{
    CommandLine command(secondPass.front());
    for (size_t i = 1; i + 1 < secondPass.size(); ++i) {
        if (secondPass[i] == "-pass" || secondPass[i] == "-passlogfile") {
            ++i;
            continue;
        }
        command.add(secondPass[i]);
    }
    command.add("-y").addQuoted(output);
    return command;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetConsoleTarget(ConsoleTarget::Silent);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;

    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("input.mp4"));
    const std::string seconds = "10";
    if (!test::RunFfmpeg({"-f",
                          "lavfi",
                          "-i",
                          "testsrc2=size=1280x720:rate=25:duration=" + seconds,
                          "-f",
                          "lavfi",
                          "-i",
                          "sine=frequency=330:sample_rate=44100:duration=" + seconds,
                          "-f",
                          "lavfi",
                          "-i",
                          "anoisesrc=color=pink:amplitude=0.15:sample_rate=44100:duration=" + seconds,
                          "-filter_complex",
                          "[1:a][2:a]amix=inputs=2[a]",
                          "-map",
                          "0:v",
                          "-map",
                          "[a]",
                          "-c:v",
                          "libx264",
                          "-preset",
                          "veryfast",
                          "-b:v",
                          "5M",
                          "-c:a",
                          "aac",
                          "-b:a",
                          "128k",
                          input.toStdString()})) {
        std::fprintf(stderr, "cannot make the input with %s\n", FfmpegProgramPath().c_str());
        return 1;
    }

    MediaItem item;
    item.fileName = QStringLiteral("input.mp4");
    item.fullPath = input;
    item.fileSize = QFileInfo(input).size();
    const auto source = ProbeCompressSource(input.toStdString());
    const auto tracks = ProbeStreamInventory(input.toStdString());
    const QString outFolder = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(outFolder);

    std::vector<double> jobTimes;
    std::vector<double> oneTimes;
    int failures = 0;
    int64_t rate = 0;
    for (int round = 0; round < rounds; ++round) {
        const JobContext context{FfmpegProgramPath(), outFolder, QTime(10, 0, round)};
        const CompressJob job = BuildCompressJob(
            context, item, {QStringLiteral("原格式"), QStringLiteral("原分辨率"), 50}, source, EncoderSupport::system(),
            dir.filePath(QStringLiteral("pass-%1").arg(round)).toStdString(), {}, tracks ? &*tracks : nullptr);
        if (job.refusal != CompressRefusal::None) {
            std::fprintf(stderr, "the job was refused\n");
            return 1;
        }
        // The second pass as the job ran it, with the rate its first pass set.
        auto finalPass = std::make_shared<std::vector<std::string>>();
        JobPlan plan = CompressJobPlan(job);
        plan.beforeLastPass = [inner = plan.beforeLastPass, finalPass](std::vector<std::string>& passArgv) {
            std::string answer = inner(passArgv);
            *finalPass = passArgv;
            return answer;
        };
        if (const auto time = RunJob(plan))
            jobTimes.push_back(*time);
        else
            ++failures;
        if (finalPass->empty())
            return 1;
        const auto at = std::find(finalPass->begin(), finalPass->end(), "-b:v");
        rate = at != finalPass->end() && at + 1 != finalPass->end() ? std::atoll((at + 1)->c_str()) : 0;

        const std::string single = dir.filePath(QStringLiteral("single-%1.mp4").arg(round)).toStdString();
        if (const auto time = RunJob(test::CommandPlan(SinglePass(*finalPass, single))))
            oneTimes.push_back(*time);
        else
            ++failures;
    }
    if (jobTimes.empty() || oneTimes.empty()) {
        std::printf("compress job / one pass: failed\n");
        return 1;
    }
    const double jobBest = *std::min_element(jobTimes.begin(), jobTimes.end());
    const double oneBest = *std::min_element(oneTimes.begin(), oneTimes.end());
    std::printf("ffmpeg: %s\n", FfmpegProgramPath().c_str());
    std::printf("input: 1280x720, %s s, %lld bytes; video rate %lld bit/s; rounds: %d, failed: %d\n", seconds.c_str(),
                static_cast<long long>(item.fileSize), static_cast<long long>(rate), rounds, failures);
    std::printf("one pass, best round: %.2f s\n", oneBest);
    std::printf("compress job, best round: %.2f s\n", jobBest);
    std::printf("compress job / one pass: %.3f (goal <= 1.4)\n", jobBest / oneBest);
    return failures == 0 ? 0 : 1;
}
