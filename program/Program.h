#pragma once

namespace tolvex {

class CMainWnd;
class SingleInstance;

// The desktop program from start to exit: single instance, crash report, log, FFmpeg
// network set-up, the main window and the event loop. Returns the exit code.
int RunProgram(int argc, char** argv);

// Later starts hand over to `window`: it comes forward (with the dialog it shows, if any)
// and adds the files they were given to its convert page.
void AcceptHandOvers(SingleInstance& instance, CMainWnd& window);

}  // namespace tolvex
