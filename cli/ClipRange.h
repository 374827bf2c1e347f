#pragma once

// The time range of the split and gif sub-commands, checked as the clip dialogs check it:
// both texts "h:m:s" (minutes and seconds below 60), start before end, neither beyond the
// file's duration.

#include "cli/CliOptions.h"

#include <string>

namespace tolvex::cli {

struct ClipRange {
    std::string startText;
    std::string endText;
};

// False with the options' error set when the range is missing or not acceptable for a
// file of `durationSeconds` (negative when it could not be probed).
bool ReadClipRange(CliOptions& options, double durationSeconds, ClipRange& range);

}  // namespace tolvex::cli
