#pragma once

#include <mutex>

namespace tolvex {

// The process-wide render lock. Every player holds it around each use of its SDL renderer
// (texture update, clear, copy, present) and of SDL's window system connection; the clip
// dialogs hold it while they move or resize the video area and its overlay, so a frame is
// never presented while those windows are being moved. Recursive because a dialog may
// resize while already holding it for an overlay move.
std::recursive_mutex& RenderLock();

}  // namespace tolvex
