#include "tasks/SingleInputCommands.h"

#include "app/Helpers.h"
#include "tasks/CommandTokens.h"

namespace tolvex {

namespace {

// stem "-" HHMMSS "." extension, in the output folder.
std::string StampedOutput(const JobContext& context, const MediaItem& item, const std::string& extension)
{
    return OutputPath(context.outputFolder, StampedName(ToNarrowAnsi(item.fileName), context.clock, extension));
}

std::string OwnExtension(const MediaItem& item)
{
    return ExtensionOf(ToNarrowAnsi(item.fileName));
}

}  // namespace

std::string RotateFilter(int rotateIndex)
{
    static const char* const kFilters[] = {
        "transpose=1",
        "transpose=1,transpose=1",
        "transpose=1,transpose=1,transpose=1",
        "transpose=2",
        "transpose=2,transpose=2",
        "transpose=2,transpose=2,transpose=2",
        "hflip",
        "vflip",
    };
    if (rotateIndex < 0 || rotateIndex >= static_cast<int>(std::size(kFilters)))
        return {};
    return kFilters[rotateIndex];
}

CommandLine BuildRotateCommand(const JobContext& context, const MediaItem& item, const RotateSettings& settings)
{
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    command.add("-vf").addQuoted(RotateFilter(settings.rotateIndex));
    command.addQuoted(StampedOutput(context, item, OwnExtension(item)));
    return command;
}

CommandLine BuildExtractCommand(const JobContext& context, const MediaItem& item, const ExtractSettings& settings)
{
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath)).add("-vn");
    command.addQuoted(StampedOutput(context, item, ToNarrowAnsi(settings.format)));
    return command;
}

std::string MuteVolumeText(const MuteSettings& settings)
{
    return settings.mute ? std::string("0") : DecibelText(settings.volumeDb);
}

CommandLine BuildMuteCommand(const JobContext& context, const MediaItem& item, const MuteSettings& settings)
{
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    command.add("-filter_complex").addQuoted("volume=" + MuteVolumeText(settings));
    command.addQuoted(StampedOutput(context, item, OwnExtension(item)));
    return command;
}

CommandLine BuildMusicCommand(const JobContext& context, const MediaItem& item, const MusicSettings& settings)
{
    const std::string videoVolume = settings.replace ? std::string("0") : DecibelText(settings.videoVolumeDb);
    const std::string musicVolume = DecibelText(settings.musicVolumeDb);

    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    if (settings.loop)
        command.add("-stream_loop").add("-1");
    command.add("-i").addQuoted(ToNarrowAnsi(settings.musicPath));
    command.add("-filter_complex")
        .addQuoted("[0:a]volume=" + videoVolume + "[a0],[1:a]volume=" + musicVolume +
                   "[a1],[a0][a1]amix=inputs=2:duration=first");
    command.addQuoted(StampedOutput(context, item, OwnExtension(item)));
    return command;
}

}  // namespace tolvex
