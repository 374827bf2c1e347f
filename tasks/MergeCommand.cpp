#include "tasks/MergeCommand.h"

#include "app/Helpers.h"
#include "tasks/CommandTokens.h"

#include <utility>

namespace tolvex {

namespace {

std::pair<int, int> UprightSize(const MergeSource& source)
{
    return source.rotated ? std::pair{source.height, source.width} : std::pair{source.width, source.height};
}

}  // namespace

MergeFrame MergeTargetFrame(const std::vector<MergeSource>& sources, const std::string& ratioText)
{
    MergeFrame frame;
    if (ratioText == "自动") {
        if (!sources.empty()) {
            const auto [w, h] = UprightSize(sources.front());
            frame.width = w;
            frame.height = h;
            frame.widthText = std::to_string(w);
            frame.heightText = std::to_string(h);
        }
        return frame;
    }
    const auto x = ratioText.rfind('x');
    if (x == std::string::npos)
        return frame;
    frame.widthText = ratioText.substr(0, x);
    frame.heightText = ratioText.substr(x + 1);
    frame.width = static_cast<int>(LeadingInteger(frame.widthText));
    frame.height = static_cast<int>(LeadingInteger(frame.heightText));
    return frame;
}

MergePlacement PlaceMergeInput(int index, int w, int h, const MergeFrame& frame)
{
    const int W = frame.width;
    const int H = frame.height;
    MergePlacement p;
    if (index == 0) {
        p.scaledWidth = w;
        p.scaledHeight = h;
        return p;
    }
    if (w >= W) {
        p.scaledWidth = W;
        p.padX = 0;
        const int s = w != 0 ? static_cast<int>(static_cast<int64_t>(W) * h / w) : H;
        if (s < H) {
            p.scaledHeight = s;
            p.padY = (H - s) / 2;
        } else {
            p.scaledHeight = H;
            p.padY = 0;
        }
    } else {
        p.scaledWidth = w;
        p.padX = (W - w) / 2;
        if (h < H) {
            p.scaledHeight = h;
            p.padY = (H - h) / 2;
        } else {
            p.scaledHeight = H;
            p.padY = 0;
        }
    }
    return p;
}

std::string MergeOutputName(const QTime& time, const QString& format)
{
    return "视频合并-" + ClockStamp(time) + "." + ToNarrowAnsi(format);
}

MergeJob BuildMergeJob(const JobContext& context, const std::vector<MergeSource>& sources,
                       const MergeSettings& settings)
{
    MergeJob job;
    const MergeFrame frame = MergeTargetFrame(sources, ToNarrowAnsi(settings.ratioText));

    job.command.setProgram(context.ffmpegPath);
    job.command.addBlank();  // the inputs text begins with a blank: two blanks after the program
    for (size_t i = 0; i < sources.size(); ++i) {
        const MergeSource& source = sources[i];
        job.totalDuration += source.duration;
        job.command.add("-i").addQuoted(ToNarrowAnsi(source.fullPath));

        const auto [w, h] = UprightSize(source);
        const MergePlacement p = PlaceMergeInput(static_cast<int>(i), w, h, frame);
        const std::string n = std::to_string(i);
        job.videoChains += "[" + n + ":v]scale=" + std::to_string(p.scaledWidth) + ":" +
                           std::to_string(p.scaledHeight) + ",pad=" + frame.widthText + ":" + frame.heightText + ":" +
                           std::to_string(p.padX) + ":" + std::to_string(p.padY) + "[v" + n + "];";
        job.videoChains += "[v" + n + "]setdar=" + frame.widthText + "/" + frame.heightText + "[v" + n + n + "];";
        job.concatInputs += "[v" + n + n + "][" + n + ":a]";
    }
    job.outputName = MergeOutputName(context.clock, settings.format);

    job.command.add("-vsync").add("2");
    job.command.add("-filter_complex")
        .addQuoted(job.videoChains + job.concatInputs + "concat=n=" + std::to_string(sources.size()) +
                   ":v=1:a=1 [v][a]");
    job.command.add("-map").addQuoted("[v]").add("-map").addQuoted("[a]");
    job.command.addQuoted(OutputPath(context.outputFolder, job.outputName));
    return job;
}

}  // namespace tolvex
