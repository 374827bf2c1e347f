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

// The input's own extension, or the one the factory gave for a name without a usable one.
std::string OwnExtension(const std::string& given, const MediaItem& item)
{
    return given.empty() ? ExtensionOf(ToNarrowAnsi(item.fileName)) : given;
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

CommandLine BuildRotateCommand(const JobContext& context, const MediaItem& item, const RotateSettings& settings,
                               const std::string& ownExtension)
{
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    command.add("-vf").addQuoted(RotateFilter(settings.rotateIndex));
    command.addQuoted(StampedOutput(context, item, OwnExtension(ownExtension, item)));
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

CommandLine BuildMuteCommand(const JobContext& context, const MediaItem& item, const MuteSettings& settings,
                             bool inputHasSound, const std::string& ownExtension)
{
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    // Without sound there is nothing to silence or amplify (a volume filter would find no
    // input): the page's result is the video itself.
    if (inputHasSound)
        command.add("-filter_complex").addQuoted("volume=" + MuteVolumeText(settings));
    command.addQuoted(StampedOutput(context, item, OwnExtension(ownExtension, item)));
    return command;
}

CommandLine BuildMusicCommand(const JobContext& context, const MediaItem& item, const MusicSettings& settings,
                              bool inputHasSound, const std::string& ownExtension)
{
    const std::string videoVolume = settings.replace ? std::string("0") : DecibelText(settings.videoVolumeDb);
    const std::string musicVolume = DecibelText(settings.musicVolumeDb);

    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    if (settings.loop)
        command.add("-stream_loop").add("-1");
    command.add("-i").addQuoted(ToNarrowAnsi(settings.musicPath));
    if (inputHasSound) {
        command.add("-filter_complex")
            .addQuoted("[0:a]volume=" + videoVolume + "[a0],[1:a]volume=" + musicVolume +
                       "[a1],[a0][a1]amix=inputs=2:duration=first");
    } else {
        // The music becomes the sound track. As in the mix, the track lasts as long as the
        // video: a short music ends in silence (or repeats, with the loop), a long one is
        // cut where the picture ends.
        command.add("-filter_complex").addQuoted("[1:a]volume=" + musicVolume + ",apad[a1]");
        command.add("-map").add("0:v").add("-map").addQuoted("[a1]").add("-shortest");
    }
    command.addQuoted(StampedOutput(context, item, OwnExtension(ownExtension, item)));
    return command;
}

}  // namespace tolvex
