#pragma once

// What a job keeps of its input's tracks and tags, as ffmpeg options. ffmpeg on its own
// keeps one picture, one sound track and at most one subtitle track, and drops the
// recording date: for a file that carries more, the job maps every track the output
// container can hold (sound tracks with their language, title and default/forced flags,
// subtitles converted to the container's text format, fonts in Matroska, cover art as an
// attached picture) and copies the file's tags. A simple file (one picture, at most one
// sound track, no subtitles, attachments or cover art) gets no mapping options at all, so
// its command stays as the page describes it. What the container cannot hold is named in
// the `dropped` text the item and the companion show.
// Pure: no I/O.

#include "media/StreamInventory.h"
#include "tasks/CommandLine.h"

#include <string>
#include <vector>

namespace tolvex {

// How the page's command treats the picture and the sound.
struct KeepTarget {
    std::string extension;  // the output file's extension: decides the container's rules
    enum class Picture {
        Plain,      // the input's picture, encoded or filtered by per-output options (-vcodec, -s)
        Filtered,   // a -vf filter applies to every picture of the output: cover art cannot ride along
        FromGraph,  // a -filter_complex graph makes the picture and ffmpeg adds it by itself
        None,       // the output has no picture (-vn)
    };
    Picture picture = Picture::Plain;
    bool sound = true;      // every sound track is mapped (false: the page maps its sound itself)
    bool subtitles = true;  // subtitles and attachments are kept
};

struct KeptTracks {
    // True when the options map the tracks: ffmpeg's own choice would drop some.
    bool mapped = false;
    // Options for the output, to stand right before its file name.
    std::vector<std::string> options;
    // "dropped: 1 picture subtitle track (mp4 cannot hold it)", empty when nothing is lost.
    std::string dropped;
};

// What the container of `extension` holds.
struct ContainerTracks {
    bool manySoundTracks = true;
    std::string textSubtitleCodec;  // empty: no subtitles; "copy": as they are
    bool pictureSubtitles = false;
    bool attachments = false;
    bool coverArt = false;
    bool quickTimeTags = false;  // mp4/mov: place, make and model need QuickTime metadata keys
};
ContainerTracks ContainerTracksFor(const std::string& extension);

// Whether the file carries more than ffmpeg's own choice keeps.
bool NeedsTrackMapping(const StreamInventory& inventory);

KeptTracks PlanKeptTracks(const StreamInventory& inventory, const KeepTarget& target);

// "-map_metadata 0" when the file has tags ffmpeg would drop, and "-movflags
// use_metadata_tags" where an mp4/mov output needs it for the place, make and model.
std::vector<std::string> TagOptions(const StreamInventory& inventory, const std::string& extension);

// The "-disposition" and "-metadata" options that give output sound track `outputIndex`
// the flags, language and title of `track` (for tracks a filter graph makes, which carry
// nothing of their input).
std::vector<std::string> TrackLabelOptions(const TrackInfo& track, char kind, int outputIndex);

// Appends the mapping options of PlanKeptTracks and the tag options for one output, and
// gives what was dropped. Nothing when `tracks` is null (the file was not probed).
void AppendKeptTracks(CommandLine& command, const StreamInventory* tracks, const KeepTarget& target,
                      std::string* dropped);

// "dropped: <what>" from parts such as "1 sound track (flv holds one)", empty for none.
std::string DroppedText(const std::vector<std::string>& parts);

}  // namespace tolvex
