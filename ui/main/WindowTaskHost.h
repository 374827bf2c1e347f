#pragma once

// The main window as the task engine sees it: the receiver of the task messages and the
// owner of the nine start buttons. UI thread only (the engine calls setPageBusy there).

#include "tasks/TaskHost.h"

#include <QPointer>

namespace tolvex {

class CMainWnd;

class WindowTaskHost : public TaskHost {
public:
    explicit WindowTaskHost(CMainWnd& window);

    QObject* messageReceiver() override;
    void setPageBusy(PageKind page, bool busy) override;

private:
    QPointer<CMainWnd> m_window;
};

}  // namespace tolvex
