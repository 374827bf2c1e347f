#pragma once

// The nine start buttons. A queued page queues every item of its list, in list order (the
// music page also needs a background music file); the merge page joins its ticked items
// (at least two) with one job started at once. Empty pages and missing choices are
// answered with a prompt box and start nothing.
// With the merge page's "无损快速" box ticked (remembered in the settings; the frame size
// box has no say then) the join copies the tracks: the files are checked first, off the UI
// thread, and files whose tracks differ are refused with the differences listed, the box
// offering to untick itself.
// UI thread only.

#include "tasks/PageJobFactory.h"
#include "tasks/TaskTypes.h"
#include "ui/main/LosslessMergeCheck.h"
#include "ui/main/MainWndHandler.h"

#include <vector>

class QCheckBox;

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

    // The lossless check of a merge is under way.
    bool checkingMerge() const { return m_check.running(); }

private:
    bool startMerge();
    void launchMerge(const MergeJob& job);
    void finishLosslessCheck(const PageJobFactory::LosslessMergePlan& plan);
    void attachLosslessBox();

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
    QCheckBox* m_lossless = nullptr;
    LosslessMergeCheck m_check;
};

}  // namespace tolvex
