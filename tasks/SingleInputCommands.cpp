#include "tasks/SingleInputCommands.h"

#include "app/Helpers.h"
#include "tasks/CommandTokens.h"
#include "tasks/OutputReservation.h"
#include "tasks/TrackKeeping.h"

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
                               const std::string& ownExtension, const StreamInventory* tracks, std::string* dropped)
{
    const std::string extension = OwnExtension(ownExtension, item);
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    command.add("-vf").addQuoted(RotateFilter(settings.rotateIndex));
    AppendKeptTracks(command, tracks, {extension, KeepTarget::Picture::Filtered}, dropped);
    command.addQuoted(StampedOutput(context, item, extension));
    return command;
}

CommandLine BuildExtractCommand(const JobContext& context, const MediaItem& item, const ExtractSettings& settings,
                                const StreamInventory* tracks, std::vector<std::string>* extraOutputs)
{
    const std::string extension = ToNarrowAnsi(settings.format);
    const std::string output = StampedOutput(context, item, extension);
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    const auto sounds = tracks ? tracks->ofKind(TrackKind::Audio) : std::vector<const TrackInfo*>{};
    const std::vector<std::string> tags = tracks ? TagOptions(*tracks, extension) : std::vector<std::string>{};
    // Matroska holds every track in one file; the other sound formats hold one each.
    if (sounds.size() <= 1 || ContainerTracksFor(extension).attachments) {
        // One file: the page's own command, with every sound track where the format holds them all.
        command.add("-vn");
        if (sounds.size() > 1) {
            int n = 0;
            for (const TrackInfo* track : sounds) {
                command.add("-map").add("0:" + std::to_string(track->index));
                for (const std::string& option : TrackLabelOptions(*track, 'a', n++))
                    command.add(option);
            }
        }
        for (const std::string& option : tags)
            command.add(option);
        command.addQuoted(output);
        return command;
    }
    // One file per track: the second and later first, so that the first track's file, the
    // name the page shows, stays the command's last argument.
    for (size_t k = 1; k <= sounds.size(); ++k) {
        const size_t at = k % sounds.size();
        const TrackInfo& track = *sounds[at];
        command.add("-map").add("0:" + std::to_string(track.index)).add("-vn");
        for (const std::string& option : TrackLabelOptions(track, 'a', 0))
            command.add(option);
        for (const std::string& option : tags)
            command.add(option);
        const std::string path = at == 0 ? output : NumberedPath(output, static_cast<int>(at) + 1);
        if (at != 0 && extraOutputs)
            extraOutputs->push_back(path);
        command.addQuoted(path);
    }
    return command;
}

std::string MuteVolumeText(const MuteSettings& settings)
{
    return settings.mute ? std::string("0") : DecibelText(settings.volumeDb);
}

CommandLine BuildMuteCommand(const JobContext& context, const MediaItem& item, const MuteSettings& settings,
                             bool inputHasSound, const std::string& ownExtension, const StreamInventory* tracks,
                             std::string* dropped)
{
    const std::string extension = OwnExtension(ownExtension, item);
    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    // Without sound there is nothing to silence or amplify (a volume filter would find no
    // input): the page's result is the video itself.
    const bool mapped = tracks && NeedsTrackMapping(*tracks);
    if (inputHasSound && mapped) {
        // A filter per output sound track: every track gets the gain and keeps its labels.
        command.add("-af").addQuoted("volume=" + MuteVolumeText(settings));
    } else if (inputHasSound) {
        command.add("-filter_complex").addQuoted("volume=" + MuteVolumeText(settings));
    }
    AppendKeptTracks(command, tracks, {extension}, dropped);
    command.addQuoted(StampedOutput(context, item, extension));
    return command;
}

CommandLine BuildMusicCommand(const JobContext& context, const MediaItem& item, const MusicSettings& settings,
                              bool inputHasSound, const std::string& ownExtension, const StreamInventory* tracks,
                              std::string* dropped)
{
    const std::string extension = OwnExtension(ownExtension, item);
    const std::string videoVolume = settings.replace ? std::string("0") : DecibelText(settings.videoVolumeDb);
    const std::string musicVolume = DecibelText(settings.musicVolumeDb);

    CommandLine command(context.ffmpegPath);
    command.add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    if (settings.loop)
        command.add("-stream_loop").add("-1");
    command.add("-i").addQuoted(ToNarrowAnsi(settings.musicPath));
    const TrackInfo* mixed = tracks && NeedsTrackMapping(*tracks) ? tracks->defaultAudio() : nullptr;
    if (inputHasSound && mixed) {
        // The music joins the track a player starts with; the other tracks stay as they are.
        command.add("-filter_complex")
            .addQuoted("[0:" + std::to_string(mixed->index) + "]volume=" + videoVolume +
                       "[a0],[1:a]volume=" + musicVolume + "[a1],[a0][a1]amix=inputs=2:duration=first[mix]");
        KeepTarget target{extension};
        target.sound = false;
        AppendKeptTracks(command, tracks, target, dropped);
        const bool many = ContainerTracksFor(extension).manySoundTracks;
        const auto sounds = tracks->ofKind(TrackKind::Audio);
        if (!many && sounds.size() > 1 && dropped) {
            const std::string lost = std::to_string(sounds.size() - 1) + " sound track" +
                                     (sounds.size() > 2 ? "s" : "") + " (" + extension + " holds one)";
            *dropped = dropped->empty() ? DroppedText({lost}) : *dropped + "; " + lost;
        }
        int n = 0;
        for (const TrackInfo* track : sounds) {
            if (track == mixed) {
                command.add("-map").addQuoted("[mix]");
                for (const std::string& option : TrackLabelOptions(*track, 'a', n++))
                    command.add(option);
            } else if (many) {
                command.add("-map").add("0:" + std::to_string(track->index));
                command.add("-disposition:a:" + std::to_string(n++)).add(track->isDefault ? "default" : "0");
            }
        }
    } else if (inputHasSound) {
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
    if (!(inputHasSound && mixed) && tracks && !NeedsTrackMapping(*tracks)) {
        for (const std::string& option : TagOptions(*tracks, extension))
            command.add(option);
    }
    command.addQuoted(StampedOutput(context, item, extension));
    return command;
}

}  // namespace tolvex
