#pragma once

// The split and GIF jobs of one clip: the range (and for splitting the crop rectangle) as
// the dialog produced them, written to the name fixed when the clip was added. Both pass
// "-y": running the same item again replaces its file.

#include "media/StreamInventory.h"
#include "tasks/ClipRecords.h"
#include "tasks/CommandLine.h"
#include "tasks/JobInputs.h"

namespace tolvex {

// "[0]crop=W:H:X:Y" with the clip's crop rectangle. The rectangle is in the upright
// picture, which is what ffmpeg crops: it turns a phone video upright before its filters.
std::string SplitCropFilter(const SplitClip& clip);
// `tracks` (when the input was probed) keeps every track, chapter and tag of the range.
CommandLine BuildSplitCommand(const JobContext& context, const SplitClip& clip, const StreamInventory* tracks = nullptr,
                              std::string* dropped = nullptr);
CommandLine BuildGifCommand(const JobContext& context, const GifClip& clip);

}  // namespace tolvex
