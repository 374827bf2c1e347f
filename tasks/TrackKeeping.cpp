#include "tasks/TrackKeeping.h"

#include <algorithm>
#include <cctype>

namespace tolvex {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool OneOf(const std::string& ext, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* name) { return ext == name; });
}

std::string Counted(size_t n, const std::string& what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// "1 picture subtitle track (mp4 cannot hold it)".
std::string CannotHold(size_t n, const std::string& what, const std::string& ext)
{
    return Counted(n, what) + " (" + ext + " cannot hold " + (n == 1 ? "it" : "them") + ")";
}

std::string DispositionText(const TrackInfo& track)
{
    if (track.isDefault && track.isForced)
        return "default+forced";
    if (track.isDefault)
        return "default";
    if (track.isForced)
        return "forced";
    return "0";
}

void Add(std::vector<std::string>& options, std::initializer_list<std::string> tokens)
{
    options.insert(options.end(), tokens.begin(), tokens.end());
}

}  // namespace

ContainerTracks ContainerTracksFor(const std::string& extension)
{
    const std::string ext = Lower(extension);
    ContainerTracks c;
    if (OneOf(ext, {"mkv", "mka", "mks"})) {
        c.textSubtitleCodec = "copy";
        c.pictureSubtitles = true;
        c.attachments = true;
    } else if (OneOf(ext, {"mp4", "m4v", "mov"})) {
        c.textSubtitleCodec = "mov_text";
        c.coverArt = true;
        c.quickTimeTags = true;
    } else if (OneOf(ext, {"3gp", "3g2"})) {
        c.textSubtitleCodec = "mov_text";
    } else if (ext == "webm") {
        c.textSubtitleCodec = "webvtt";
    } else if (OneOf(ext, {"avi", "divx", "wmv", "asf", "mpg", "mpeg", "vob", "dat", "ts", "m2ts", "mts", "ogv", "ogg",
                           "mxf", "m4a"})) {
        // Several sound tracks, no subtitles this program can write there.
    } else {
        // flv, f4v, RealMedia, swf, gif and the one-track sound formats.
        c.manySoundTracks = false;
    }
    return c;
}

bool NeedsTrackMapping(const StreamInventory& inventory)
{
    return inventory.count(TrackKind::Video) > 1 || inventory.count(TrackKind::Audio) > 1 ||
           inventory.count(TrackKind::Subtitle) > 0 || inventory.count(TrackKind::Attachment) > 0 ||
           !inventory.coverArt().empty();
}

std::string DroppedText(const std::vector<std::string>& parts)
{
    if (parts.empty())
        return {};
    std::string text = "dropped: ";
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? "; " : "") + parts[i];
    return text;
}

std::vector<std::string> TrackLabelOptions(const TrackInfo& track, char kind, int outputIndex)
{
    const std::string stream = std::string(1, kind) + ":" + std::to_string(outputIndex);
    std::vector<std::string> options{"-disposition:" + stream, DispositionText(track)};
    if (!track.language.empty())
        Add(options, {"-metadata:s:" + stream, "language=" + track.language});
    if (!track.title.empty())
        Add(options, {"-metadata:s:" + stream, "title=" + track.title});
    return options;
}

KeptTracks PlanKeptTracks(const StreamInventory& inventory, const KeepTarget& target)
{
    KeptTracks kept;
    if (!NeedsTrackMapping(inventory))
        return kept;
    kept.mapped = true;
    const std::string ext = Lower(target.extension);
    const ContainerTracks container = ContainerTracksFor(ext);
    std::vector<std::string>& o = kept.options;
    std::vector<std::string> dropped;

    // The picture: the first real video track. ffmpeg adds a graph's picture by itself.
    const TrackInfo* video = inventory.mainVideo();
    int videoOut = 0;
    if (video && (target.picture == KeepTarget::Picture::Plain || target.picture == KeepTarget::Picture::Filtered)) {
        Add(o, {"-map", "0:" + std::to_string(video->index)});
        ++videoOut;
    } else if (video && target.picture == KeepTarget::Picture::FromGraph) {
        ++videoOut;
    }

    if (target.sound) {
        const auto sounds = inventory.ofKind(TrackKind::Audio);
        const size_t keep = container.manySoundTracks ? sounds.size() : std::min<size_t>(sounds.size(), 1);
        // A container with room for one keeps the track a player would start with.
        std::vector<const TrackInfo*> chosen(sounds.begin(), sounds.begin() + static_cast<long>(keep));
        if (keep == 1 && sounds.size() > 1)
            chosen = {inventory.defaultAudio()};
        int n = 0;
        for (const TrackInfo* track : chosen) {
            Add(o, {"-map", "0:" + std::to_string(track->index)});
            Add(o, {"-disposition:a:" + std::to_string(n++), DispositionText(*track)});
        }
        if (sounds.size() > keep)
            dropped.push_back(Counted(sounds.size() - keep, "sound track") + " (" + ext + " holds one)");
    }

    if (target.subtitles) {
        int n = 0;
        size_t lostText = 0;
        size_t lostPicture = 0;
        for (const TrackInfo* track : inventory.ofKind(TrackKind::Subtitle)) {
            const bool holds =
                track->pictureSubtitle ? container.pictureSubtitles : !container.textSubtitleCodec.empty();
            if (!holds) {
                ++(track->pictureSubtitle ? lostPicture : lostText);
                continue;
            }
            std::string codec = container.textSubtitleCodec;
            // Matroska keeps subtitles as they are, but has no place for mp4's text format.
            if (track->pictureSubtitle || (codec == "copy" && track->codec != "mov_text"))
                codec = "copy";
            else if (codec == "copy")
                codec = "srt";
            const std::string stream = "s:" + std::to_string(n++);
            Add(o, {"-map", "0:" + std::to_string(track->index), "-c:" + stream, codec, "-disposition:" + stream,
                    DispositionText(*track)});
        }
        if (lostText > 0)
            dropped.push_back(CannotHold(lostText, "subtitle track", ext));
        if (lostPicture > 0)
            dropped.push_back(CannotHold(lostPicture, "picture subtitle track", ext));

        const size_t fonts = inventory.ofKind(TrackKind::Attachment).size();
        if (fonts > 0 && container.attachments)
            Add(o, {"-map", "0:t", "-c:t", "copy"});
        else if (fonts > 0)
            dropped.push_back(CannotHold(fonts, "attachment", ext));
    }

    // Cover art stays a still picture of the file, copied as it is; it cannot pass a filter
    // that every picture of the output goes through.
    const auto covers = inventory.coverArt();
    if (!covers.empty() && target.picture != KeepTarget::Picture::None) {
        if (container.coverArt && target.picture != KeepTarget::Picture::Filtered) {
            for (const TrackInfo* cover : covers) {
                const std::string stream = "v:" + std::to_string(videoOut++);
                Add(o, {"-map", "0:" + std::to_string(cover->index), "-c:" + stream, "copy", "-disposition:" + stream,
                        "attached_pic"});
            }
        } else {
            dropped.push_back(CannotHold(covers.size(), "cover picture", ext));
        }
    }
    kept.dropped = DroppedText(dropped);
    return kept;
}

void AppendKeptTracks(CommandLine& command, const StreamInventory* tracks, const KeepTarget& target,
                      std::string* dropped)
{
    if (!tracks)
        return;
    const KeptTracks kept = PlanKeptTracks(*tracks, target);
    for (const std::string& option : kept.options)
        command.add(option);
    for (const std::string& option : TagOptions(*tracks, target.extension))
        command.add(option);
    if (dropped)
        *dropped = kept.dropped;
}

std::vector<std::string> TagOptions(const StreamInventory& inventory, const std::string& extension)
{
    std::vector<std::string> options;
    if (inventory.hasDroppedTags || inventory.hasQuickTimeKeys)
        Add(options, {"-map_metadata", "0"});
    if (inventory.hasQuickTimeKeys && ContainerTracksFor(extension).quickTimeTags)
        Add(options, {"-movflags", "use_metadata_tags"});
    return options;
}

}  // namespace tolvex
