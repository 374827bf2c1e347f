#include "tasks/LosslessCommands.h"

#include "app/Helpers.h"
#include "tasks/CommandTokens.h"
#include "tasks/TrackKeeping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tolvex {

namespace {

// Microseconds as "S.UUUUUU", whatever the C locale says.
std::string MicrosecondsText(int64_t micros)
{
    const int64_t whole = micros / 1000000;
    const std::string fraction = std::to_string(micros % 1000000);
    return std::to_string(whole) + "." + std::string(6 - fraction.size(), '0') + fraction;
}

// A value of an ffmetadata file: its special characters escaped with a backslash.
std::string MetadataValue(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '=' || c == ';' || c == '#' || c == '\\' || c == '\n')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// The file name between the last "/" and the last ".".
std::string TitleOf(const QString& path)
{
    const std::string name = ToNarrowUtf8(path.section(QLatin1Char('/'), -1));
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string SeekSecondsText(double seconds)
{
    const auto micros = static_cast<int64_t>(std::ceil(std::max(seconds, 0.0) * 1e6 - 1e-3));
    return MicrosecondsText(std::max<int64_t>(micros, 0));
}

CommandLine BuildLosslessSplitCommand(const JobContext& context, const SplitClip& clip, double keyFrameSeconds,
                                      const StreamInventory* tracks, std::string* dropped)
{
    CommandLine command(context.ffmpegPath);
    command.add("-y").add("-ss").add(SeekSecondsText(keyFrameSeconds)).add("-to").add(clip.endText);
    command.add("-i").addQuoted(clip.sourcePath);
    command.add("-c").add("copy");
    // Sound from before the key frame would play before the first picture.
    command.add("-copypriorss:a").add("0");
    AppendKeptTracks(command, tracks, {ExtensionOf(clip.outputName), KeepTarget::Picture::Plain}, dropped);
    command.add("-avoid_negative_ts").add("make_zero");
    command.addQuoted(OutputPath(context.outputFolder, clip.outputName));
    return command;
}

std::optional<std::string> ConcatListText(const std::vector<std::string>& paths)
{
    std::string text = "ffconcat version 1.0\n";
    for (const std::string& path : paths) {
        if (path.find('\n') != std::string::npos || path.find('\r') != std::string::npos)
            return std::nullopt;
        // Inside single quotes the demuxer takes every character as it is, except the
        // quote itself, which closes the quote, is escaped and opens it again.
        std::string quoted = "'";
        for (const char c : path)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        text += "file " + quoted + "'\n";
    }
    return text;
}

std::string ChaptersText(const std::vector<ChapterMark>& chapters)
{
    std::string text = ";FFMETADATA1\n";
    int64_t start = 0;
    for (const ChapterMark& chapter : chapters) {
        const int64_t end = start + std::max<int64_t>(1, std::llround(chapter.seconds * 1000.0));
        text += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(start) + "\nEND=" + std::to_string(end) +
                "\ntitle=" + MetadataValue(chapter.title) + "\n";
        start = end;
    }
    return text;
}

std::vector<ChapterMark> MergeChapters(const std::vector<MergeSource>& sources)
{
    std::vector<ChapterMark> chapters;
    chapters.reserve(sources.size());
    for (const MergeSource& source : sources)
        chapters.push_back({TitleOf(source.fullPath), source.duration});
    return chapters;
}

MergeJob BuildLosslessMergeJob(const JobContext& context, const std::vector<MergeSource>& sources,
                               const MergeSettings& settings, const std::string& listPath,
                               const std::string& chaptersPath)
{
    MergeJob job;
    job.sources = sources;
    for (const MergeSource& source : sources)
        job.totalDuration += source.duration;
    job.outputName = MergeOutputName(context.clock, settings.format);
    CommandLine& command = job.command;
    command.setProgram(context.ffmpegPath);
    command.add("-f").add("concat").add("-safe").add("0").add("-i").addQuoted(listPath);
    command.add("-f").add("ffmetadata").add("-i").addQuoted(chaptersPath);
    // Every picture (not cover art), sound and subtitle track; the chapters of the list.
    command.add("-map").add("0:V").add("-map").add("0:a?").add("-map").add("0:s?");
    command.add("-map_chapters").add("1");
    command.add("-c").add("copy");
    command.addQuoted(OutputPath(context.outputFolder, job.outputName));
    return job;
}

}  // namespace tolvex
