#pragma once

// Media made at test time with the real ffmpeg, and checks that no child process is left.

#include <string>
#include <vector>

namespace tolvex::test {

// Runs the ffmpeg the engine would run, with these arguments (quiet, no stdin); true on
// exit status 0. `output` receives what it printed.
bool RunFfmpeg(const std::vector<std::string>& args, std::string* output = nullptr);
// A small test picture with a sine tone (or without sound).
bool MakeVideo(const std::string& path, double seconds, int width = 160, int height = 120, bool withAudio = true);
// A sine tone only.
bool MakeAudio(const std::string& path, double seconds);

// The ffmpeg arguments of a short conversion of `input` to `output` (mpeg4 + aac).
std::vector<std::string> ConvertArgs(const std::string& input, const std::string& output);

// True when this process has no child at all, running or zombie.
bool NoChildProcesses();
// True when `pid` is gone (never existed, or reaped).
bool ProcessGone(int pid);

}  // namespace tolvex::test
