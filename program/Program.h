#pragma once

namespace tolvex {

// The desktop program from start to exit: single instance, crash report, log, FFmpeg
// network set-up, the main window and the event loop. Returns the exit code.
int RunProgram(int argc, char** argv);

}  // namespace tolvex
