#pragma once

// Where the ffmpeg program is: "ffmpeg" beside the running executable when it is there
// and executable, else the first "ffmpeg" on PATH. One function decides for every job.

#include <string>

namespace tolvex {

// The full path of the ffmpeg program; "ffmpeg" when none was found (its launch then
// fails like any program that cannot be started).
std::string FfmpegProgramPath();

// The search itself, for a given executable folder and PATH value.
std::string FindFfmpegProgram(const std::string& executableFolder, const std::string& pathVariable);

}  // namespace tolvex
