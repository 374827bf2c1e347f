#include "tasks/ClipCommands.h"

#include "tasks/CommandTokens.h"
#include "tasks/TrackKeeping.h"

namespace tolvex {

CropRect UprightCrop(const SplitClip& clip, int uprightTurn, int storedWidth, int storedHeight)
{
    const CropRect c{clip.cropX, clip.cropY, clip.cropWidth, clip.cropHeight};
    const int W = storedWidth;
    const int H = storedHeight;
    switch (uprightTurn) {
    case 90:  // clockwise: the stored left edge becomes the top
        return {H - c.y - c.height, c.x, c.height, c.width};
    case 180:
        return {W - c.x - c.width, H - c.y - c.height, c.width, c.height};
    case 270:  // counter-clockwise: the stored top edge becomes the left
        return {c.y, W - c.x - c.width, c.height, c.width};
    default:
        return c;
    }
}

std::string SplitCropFilter(const CropRect& crop)
{
    return "[0]crop=" + std::to_string(crop.width) + ":" + std::to_string(crop.height) + ":" + std::to_string(crop.x) +
           ":" + std::to_string(crop.y);
}

std::string SplitCropFilter(const SplitClip& clip)
{
    return SplitCropFilter(CropRect{clip.cropX, clip.cropY, clip.cropWidth, clip.cropHeight});
}

CommandLine BuildSplitCommand(const JobContext& context, const SplitClip& clip, const ProbedMedia& source,
                              const StreamInventory* tracks, std::string* dropped)
{
    const bool turned = source.uprightTurn != 0 && source.width > 0 && source.height > 0;
    const CropRect crop = turned ? UprightCrop(clip, source.uprightTurn, source.width, source.height)
                                 : CropRect{clip.cropX, clip.cropY, clip.cropWidth, clip.cropHeight};
    CommandLine command(context.ffmpegPath);
    command.add("-y").add("-i").addQuoted(clip.sourcePath);
    command.add("-ss").add(clip.startText).add("-to").add(clip.endText);
    command.add("-filter_complex").addQuoted(SplitCropFilter(crop));
    // Every track and chapter within the range: ffmpeg cuts the chapters to it.
    AppendKeptTracks(command, tracks, {ExtensionOf(clip.outputName), KeepTarget::Picture::FromGraph}, dropped);
    command.addQuoted(OutputPath(context.outputFolder, clip.outputName));
    return command;
}

CommandLine BuildGifCommand(const JobContext& context, const GifClip& clip)
{
    CommandLine command(context.ffmpegPath);
    command.add("-y").add("-i").addQuoted(clip.sourcePath);
    command.add("-ss").add(clip.startText).add("-to").add(clip.endText);
    command.addQuoted(OutputPath(context.outputFolder, clip.outputName));
    return command;
}

}  // namespace tolvex
