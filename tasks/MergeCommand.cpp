#include "tasks/MergeCommand.h"

#include "app/Helpers.h"
#include "tasks/CommandTokens.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <utility>

namespace tolvex {

namespace {

std::pair<int, int> UprightSize(const MergeSource& source)
{
    const bool quarterTurn = source.uprightTurn == 90 || source.uprightTurn == 270;
    return quarterTurn ? std::pair{source.height, source.width} : std::pair{source.width, source.height};
}

int EvenDown(int side)
{
    return std::max(2, side - side % 2);
}

void SetFrame(MergeFrame& frame, int width, int height)
{
    frame.width = EvenDown(width);
    frame.height = EvenDown(height);
    frame.widthText = std::to_string(frame.width);
    frame.heightText = std::to_string(frame.height);
}

// Seconds in plain decimal, whatever the C locale says.
std::string SecondsText(double seconds)
{
    char text[32];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, std::max(seconds, 0.0), std::chars_format::fixed, 3);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

// The number right after `prefix` in `text`, searched from `from`; -1 when none.
int NumberAfter(const std::string& text, const std::string& prefix, size_t& from)
{
    const auto at = text.find(prefix, from);
    if (at == std::string::npos) {
        from = std::string::npos;
        return -1;
    }
    from = at + prefix.size();
    size_t end = from;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    if (end == from || end - from > 6)
        return -1;
    return std::stoi(text.substr(from, end - from));
}

// The number of sound tracks every input has, when they all have the same; 0 otherwise.
int SharedSoundTracks(const std::vector<MergeSource>& sources)
{
    if (sources.empty())
        return 0;
    const auto tracksOf = [](const MergeSource& s) { return s.hasAudio ? std::max(1, s.audioTracks) : 0; };
    const int first = tracksOf(sources.front());
    for (const MergeSource& source : sources) {
        if (tracksOf(source) != first)
            return 0;
    }
    return first;
}

}  // namespace

MergeFrame MergeTargetFrame(const std::vector<MergeSource>& sources, const std::string& ratioText)
{
    MergeFrame frame;
    if (ratioText == "自动") {
        if (!sources.empty()) {
            const auto [w, h] = UprightSize(sources.front());
            if (w > 0 && h > 0)
                SetFrame(frame, w, h);
        }
        return frame;
    }
    const auto x = ratioText.rfind('x');
    if (x == std::string::npos)
        return frame;
    const auto w = static_cast<int>(LeadingInteger(ratioText.substr(0, x)));
    const auto h = static_cast<int>(LeadingInteger(ratioText.substr(x + 1)));
    if (w > 0 && h > 0)
        SetFrame(frame, w, h);
    return frame;
}

MergePlacement PlaceMergeInput(int w, int h, const MergeFrame& frame)
{
    const int64_t W = frame.width;
    const int64_t H = frame.height;
    MergePlacement p;
    if (w <= 0 || h <= 0) {
        // Nothing known of the picture: let it fill the frame.
        p.scaledWidth = frame.width;
        p.scaledHeight = frame.height;
        return p;
    }
    int64_t sw = w;
    int64_t sh = h;
    if (sw > W || sh > H) {
        // The side that meets the frame first decides the scale.
        if (W * h <= H * w) {
            sw = W;
            sh = W * h / w;
        } else {
            sh = H;
            sw = H * w / h;
        }
    }
    // A side within a pixel or two of the frame fills it: an odd-sized input rounded to
    // the even frame should not leave a one-pixel border.
    if (W - sw <= 2)
        sw = W;
    if (H - sh <= 2)
        sh = H;
    p.scaledWidth = EvenDown(static_cast<int>(sw));
    p.scaledHeight = EvenDown(static_cast<int>(sh));
    p.padX = std::max(0, (frame.width - p.scaledWidth) / 2);
    p.padY = std::max(0, (frame.height - p.scaledHeight) / 2);
    return p;
}

int MergeInputNamedIn(const std::string& ffmpegText, const std::vector<MergeSource>& sources)
{
    // A path names its input best; the longest match wins ("/v/a.mp4" inside "/v/a.mp4.mkv").
    int named = -1;
    size_t longest = 0;
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::string path = ToNarrowAnsi(sources[i].fullPath);
        if (!path.empty() && path.size() > longest && ffmpegText.find(path) != std::string::npos) {
            named = static_cast<int>(i);
            longest = path.size();
        }
    }
    if (named >= 0)
        return named;
    // "Error while decoding stream #1:0", "Error opening input #1", "[in#1/mov,...]".
    for (const char* prefix : {"input #", "Input #", "stream #", "Stream #", "[in#"}) {
        for (size_t from = 0; from != std::string::npos;) {
            const int index = NumberAfter(ffmpegText, prefix, from);
            if (index >= 0 && index < static_cast<int>(sources.size()))
                return index;
        }
    }
    return -1;
}

std::string MergeOutputName(const QTime& time, const QString& format)
{
    return "视频合并-" + ClockStamp(time) + "." + ToNarrowAnsi(format);
}

MergeJob BuildMergeJob(const JobContext& context, const std::vector<MergeSource>& sources,
                       const MergeSettings& settings)
{
    MergeJob job;
    job.sources = sources;
    const MergeFrame frame = MergeTargetFrame(sources, ToNarrowAnsi(settings.ratioText));
    const int tracks = SharedSoundTracks(sources);
    if (tracks < 2 && std::any_of(sources.begin(), sources.end(),
                                  [](const MergeSource& s) { return s.hasAudio && s.audioTracks > 1; })) {
        job.dropped = "dropped: the sound tracks after the first (the files have different numbers of sound tracks)";
    }

    job.command.setProgram(context.ffmpegPath);
    job.command.addBlank();  // the inputs text begins with a blank: two blanks after the program
    for (size_t i = 0; i < sources.size(); ++i) {
        const MergeSource& source = sources[i];
        job.totalDuration += source.duration;
        job.command.add("-i").addQuoted(ToNarrowAnsi(source.fullPath));

        const auto [w, h] = UprightSize(source);
        const MergePlacement p = PlaceMergeInput(w, h, frame);
        const std::string n = std::to_string(i);
        job.videoChains += "[" + n + ":v]scale=" + std::to_string(p.scaledWidth) + ":" +
                           std::to_string(p.scaledHeight) + ",pad=" + frame.widthText + ":" + frame.heightText + ":" +
                           std::to_string(p.padX) + ":" + std::to_string(p.padY) + "[v" + n + "];";
        job.videoChains += "[v" + n + "]setdar=" + frame.widthText + "/" + frame.heightText + "[v" + n + n + "];";
        if (tracks >= 2) {
            job.concatInputs += "[v" + n + n + "]";
            for (int t = 0; t < tracks; ++t)
                job.concatInputs += "[" + n + ":a:" + std::to_string(t) + "]";
        } else if (source.hasAudio) {
            job.concatInputs += "[v" + n + n + "][" + n + ":a]";
        } else {
            // Silence as long as the input, so the next input's sound starts with its picture.
            job.silentTracks +=
                "anullsrc=r=48000:cl=stereo,atrim=duration=" + SecondsText(source.duration) + "[s" + n + "];";
            job.concatInputs += "[v" + n + n + "][s" + n + "]";
        }
    }
    job.outputName = MergeOutputName(context.clock, settings.format);

    job.command.add("-vsync").add("2");
    if (tracks >= 2) {
        std::string outputs = " [v]";
        for (int t = 0; t < tracks; ++t)
            outputs += "[a" + std::to_string(t) + "]";
        job.command.add("-filter_complex")
            .addQuoted(job.videoChains + job.concatInputs + "concat=n=" + std::to_string(sources.size()) +
                       ":v=1:a=" + std::to_string(tracks) + outputs);
        job.command.add("-map").addQuoted("[v]");
        for (int t = 0; t < tracks; ++t)
            job.command.add("-map").addQuoted("[a" + std::to_string(t) + "]");
    } else {
        job.command.add("-filter_complex")
            .addQuoted(job.videoChains + job.silentTracks + job.concatInputs +
                       "concat=n=" + std::to_string(sources.size()) + ":v=1:a=1 [v][a]");
        job.command.add("-map").addQuoted("[v]").add("-map").addQuoted("[a]");
    }
    job.command.addQuoted(OutputPath(context.outputFolder, job.outputName));
    return job;
}

}  // namespace tolvex
