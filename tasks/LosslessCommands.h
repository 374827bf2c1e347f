#pragma once

// Cuts and joins that copy the packets instead of encoding them again: they run at the
// speed of the disk and leave the picture and sound untouched.
//
// A lossless clip starts at the key frame at or before the chosen start (a copied picture
// can begin nowhere else) and ends at the chosen end. The start is given to ffmpeg before
// the input, so it seeks straight there; the sound packets before the picture's first
// frame are left out, so sound and picture start together; the timestamps are moved to
// start at zero ("-avoid_negative_ts make_zero"), which keeps an mp4's first frame from
// being hidden behind an edit list (a black start in players). No frame rate is forced: a
// copy keeps the source's timing, variable or not.
//
// A lossless join lists the inputs for ffmpeg's concat demuxer, copies every picture,
// sound and subtitle track, and gives the output one chapter per input, named after its
// file. The list and the chapters are files the job writes before it runs (no shell and
// no command line ever carries them); names with quotes, dollars, spaces, leading dashes
// or any script are written so that the demuxer reads them back unchanged.
// Pure: no I/O.

#include "media/StreamInventory.h"
#include "tasks/ClipRecords.h"
#include "tasks/CommandLine.h"
#include "tasks/JobInputs.h"
#include "tasks/MergeCommand.h"

#include <optional>
#include <string>
#include <vector>

namespace tolvex {

// Seconds as "-ss" takes them: six decimals, rounded up to the microsecond, so a seek to
// a key frame's time lands on that key frame and not on the one before ("118.000000").
std::string SeekSecondsText(double seconds);

// The lossless clip from `keyFrameSeconds` (the key frame at or before the clip's start)
// to its end, every track kept as the re-encoding cut keeps it.
CommandLine BuildLosslessSplitCommand(const JobContext& context, const SplitClip& clip, double keyFrameSeconds,
                                      const StreamInventory* tracks = nullptr, std::string* dropped = nullptr);

// The concat demuxer's list of `paths` (absolute); nothing when a path holds a line break,
// which the list cannot carry.
std::optional<std::string> ConcatListText(const std::vector<std::string>& paths);

struct ChapterMark {
    std::string title;
    double seconds = 0.0;  // the input's playing time
};
// An ffmetadata file with one chapter per input, back to back from 0.
std::string ChaptersText(const std::vector<ChapterMark>& chapters);

// One chapter per source, named after its file (without the extension), as long as it plays.
std::vector<ChapterMark> MergeChapters(const std::vector<MergeSource>& sources);

// The join of `sources` (in order) by copying, reading the list and the chapters from the
// two files named; the output takes the page's format.
MergeJob BuildLosslessMergeJob(const JobContext& context, const std::vector<MergeSource>& sources,
                               const MergeSettings& settings, const std::string& listPath,
                               const std::string& chaptersPath);

}  // namespace tolvex
