#pragma once

#include <functional>

namespace tolvex {

class CMainWnd;
class SingleInstance;

// The desktop program from start to exit: single instance, crash report, log, the main
// window and the event loop. `onceShown` runs on the UI thread when the window is shown and
// waits for input (the work a start can leave until then); `beforeLogEnds` runs on the way
// out, while the log still takes lines. Returns the exit code.
int RunProgram(int argc, char** argv, const std::function<void()>& onceShown = {},
               const std::function<void()>& beforeLogEnds = {});

// Later starts hand over to `window`: it comes forward (with the dialog it shows, if any)
// and adds the files they were given to its convert page.
void AcceptHandOvers(SingleInstance& instance, CMainWnd& window);

}  // namespace tolvex
