#pragma once

// The split and GIF jobs of one clip: the range (and for splitting the crop rectangle) as
// the dialog produced them, written to the name fixed when the clip was added. Both pass
// "-y": running the same item again replaces its file.

#include "media/StreamInventory.h"
#include "tasks/ClipRecords.h"
#include "tasks/CommandLine.h"
#include "tasks/JobInputs.h"

namespace tolvex {

// A crop rectangle in pixels.
struct CropRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const CropRect&) const = default;
};

// The clip's crop, chosen on the stored picture (storedWidth x storedHeight), in the
// coordinates of the upright picture that ffmpeg filters after turning it clockwise by
// `uprightTurn` degrees (0, 90, 180, 270; other values count as 0).
CropRect UprightCrop(const SplitClip& clip, int uprightTurn, int storedWidth, int storedHeight);

// "[0]crop=W:H:X:Y"
std::string SplitCropFilter(const CropRect& crop);
std::string SplitCropFilter(const SplitClip& clip);
// `source` is what the probe says of the clip's input (its turn and stored size); without
// a turn the clip's crop is used as it is.
// `tracks` (when the input was probed) keeps every track, chapter and tag of the range.
CommandLine BuildSplitCommand(const JobContext& context, const SplitClip& clip, const ProbedMedia& source = {},
                              const StreamInventory* tracks = nullptr, std::string* dropped = nullptr);
CommandLine BuildGifCommand(const JobContext& context, const GifClip& clip);

}  // namespace tolvex
