#pragma once

// The media probe of a list item's file: one probe fills what the item keeps (playing time,
// picture size, upright turn, sound tracks), so jobs and dialogs read the item instead of
// probing again. Blocks up to the probe's time limit: call it off the window's thread.

#include "tasks/MediaItem.h"

#include <atomic>

namespace tolvex {

// Fills the media fields of `item` from the file at item.fullPath. A file that cannot be
// opened keeps the unknown values with duration 0. False when the probe was interrupted (it
// ran out of time, or `abort` or the program's stop ended it): nothing it read can be
// vouched for.
bool ProbeMediaItem(MediaItem& item, const std::atomic<bool>* abort = nullptr);

}  // namespace tolvex
