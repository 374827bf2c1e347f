#pragma once

// Ending the program at once, without the normal shutdown: after the installer was handed
// to the desktop (the installer replaces the program, and the shutdown would empty the Temp
// folder it sits in) and when a forced update is cancelled. The log and the standard
// streams are flushed first; running ffmpeg children end with the process.
//
// Tests replace the ending with a hook that records the code and returns; callers then
// close their window as if the process had gone on.
// Thread use: UI thread.

#include <functional>

namespace tolvex {

void EndProgramNow(int code);
// Replaces the ending (an empty hook restores it).
void SetProgramExitHook(std::function<void(int)> hook);

}  // namespace tolvex
