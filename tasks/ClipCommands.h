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
// The described command; with `bestPicture`, one run that gives every frame a palette of
// its own colours (GifClipPalettes), over the same range, rate and size.
CommandLine BuildGifCommand(const JobContext& context, const GifClip& clip);
// The filter of a best-picture GIF: per frame, a palette of its 128 most telling colours
// and the frame drawn in it without dithering. Measured on motion, colour-cycling,
// gradient and fractal clips: a palette per frame follows colours that change (one palette
// for the clip cannot), 128 colours without dither keep the file near the fixed-palette
// one's size, and dithering only added noise that costs bytes and likeness.
std::string GifClipPalettes();

}  // namespace tolvex
