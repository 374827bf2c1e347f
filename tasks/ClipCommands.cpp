#include "tasks/ClipCommands.h"

#include "tasks/CommandTokens.h"
#include "tasks/TrackKeeping.h"

namespace tolvex {

std::string SplitCropFilter(const SplitClip& clip)
{
    return "[0]crop=" + std::to_string(clip.cropWidth) + ":" + std::to_string(clip.cropHeight) + ":" +
           std::to_string(clip.cropX) + ":" + std::to_string(clip.cropY);
}

CommandLine BuildSplitCommand(const JobContext& context, const SplitClip& clip, const StreamInventory* tracks,
                              std::string* dropped)
{
    CommandLine command(context.ffmpegPath);
    command.add("-y").add("-i").addQuoted(clip.sourcePath);
    command.add("-ss").add(clip.startText).add("-to").add(clip.endText);
    command.add("-filter_complex").addQuoted(SplitCropFilter(clip));
    // Every track and chapter within the range: ffmpeg cuts the chapters to it.
    AppendKeptTracks(command, tracks, {ExtensionOf(clip.outputName), KeepTarget::Picture::FromGraph}, dropped);
    command.addQuoted(OutputPath(context.outputFolder, clip.outputName));
    return command;
}

std::string GifClipPalettes()
{
    return "split[frames][analysed];[analysed]palettegen=stats_mode=single:max_colors=128[palette];"
           "[frames][palette]paletteuse=new=1:dither=none";
}

CommandLine BuildGifCommand(const JobContext& context, const GifClip& clip)
{
    CommandLine command(context.ffmpegPath);
    if (clip.bestPicture) {
        // The range before the input: ffmpeg seeks there and the palettes are made from the
        // clip's frames alone (the same frames the described command keeps).
        command.add("-y").add("-ss").add(clip.startText).add("-to").add(clip.endText);
        command.add("-i").addQuoted(clip.sourcePath).add("-vf").addQuoted(GifClipPalettes());
        command.addQuoted(OutputPath(context.outputFolder, clip.outputName));
        return command;
    }
    command.add("-y").add("-i").addQuoted(clip.sourcePath);
    command.add("-ss").add(clip.startText).add("-to").add(clip.endText);
    command.addQuoted(OutputPath(context.outputFolder, clip.outputName));
    return command;
}

}  // namespace tolvex
