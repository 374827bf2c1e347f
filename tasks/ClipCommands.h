#pragma once

// The split and GIF jobs of one clip: the range (and for splitting the crop rectangle) as
// the dialog produced them, written to the name fixed when the clip was added. Both pass
// "-y": running the same item again replaces its file.

#include "tasks/ClipRecords.h"
#include "tasks/CommandLine.h"
#include "tasks/JobInputs.h"

namespace tolvex {

// "[0]crop=W:H:X:Y" with the clip's crop rectangle. The rectangle is in the upright
// picture, which is what ffmpeg crops: it turns a phone video upright before its filters.
std::string SplitCropFilter(const SplitClip& clip);
CommandLine BuildSplitCommand(const JobContext& context, const SplitClip& clip);
CommandLine BuildGifCommand(const JobContext& context, const GifClip& clip);

}  // namespace tolvex
