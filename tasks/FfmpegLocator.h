#pragma once

// Where the ffmpeg program is: "ffmpeg" beside the running executable when it is there
// and executable, else the first "ffmpeg" in an absolute folder of PATH. One function
// decides for every job; a relative name is never run.

#include <string>

namespace tolvex {

// The reason of a job that has no ffmpeg to run.
constexpr const char* kFfmpegNotFound = "ffmpeg not found";

// The absolute path of the ffmpeg program; empty when none was found (every job then
// fails with kFfmpegNotFound).
std::string FfmpegProgramPath();

// The search itself, for a given executable folder and PATH value.
std::string FindFfmpegProgram(const std::string& executableFolder, const std::string& pathVariable);

}  // namespace tolvex
