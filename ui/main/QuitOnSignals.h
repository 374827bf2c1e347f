#pragma once

// The window ends the normal way when the system or the terminal asks the program to end:
// SIGTERM (logging out, shutting down), SIGINT (Ctrl-C in the terminal that started it)
// and SIGHUP (that terminal gone) close any dialog it shows and then the window itself,
// through the same quit as the tray menu's: jobs stopped, their partial files and reserved
// names deleted, the process's temp files removed, exit status 0.
// The watch lives as long as the window object, so a second signal during that clean-up
// does not cut it short.
// UI thread only.

#include "app/SignalWatch.h"
#include "ui/main/MainWndHandler.h"

#include <memory>

namespace tolvex {

class QuitOnSignals : public MainWndHandler {
public:
    void attach(CMainWnd& window) override;

private:
    void quit();

    CMainWnd* m_window = nullptr;
    std::unique_ptr<SignalWatch> m_watch;
};

}  // namespace tolvex
