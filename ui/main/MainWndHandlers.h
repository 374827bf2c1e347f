#pragma once

namespace tolvex {

class CMainWnd;

// Adds every handler of the main window's behaviour to `window` (called from its Init).
void InstallMainWndHandlers(CMainWnd& window);

}  // namespace tolvex
