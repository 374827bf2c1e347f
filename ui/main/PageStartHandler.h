#pragma once

// The nine start buttons. A queued page queues every item of its list, in list order (the
// music page also needs a background music file); the merge page joins its ticked items
// (at least two) with one job started at once. Empty pages and missing choices are
// answered with a prompt box and start nothing.
// UI thread only.

#include "tasks/TaskTypes.h"
#include "ui/main/MainWndHandler.h"

#include <vector>

namespace tolvex {

class PageTasks;

class PageStartHandler : public MainWndHandler {
public:
    explicit PageStartHandler(PageTasks& tasks);

    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

    // The start button's action; false when the page was not started (a prompt said why).
    bool StartPage(PageKind page);
    // The task ids of the ticked merge items, in list order.
    std::vector<TaskId> selectedMergeItems() const;

private:
    bool startMerge();

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
};

}  // namespace tolvex
