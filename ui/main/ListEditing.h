#pragma once

// Editing the page lists: the clear button of every page, the remove buttons of the items,
// and the merge page's reorder buttons and select-all box.
//   - Clearing a queued page removes its items, kills its jobs and empties its queue; the
//     merge page's clear also stops a running merge and resets its bar, label and box.
//   - Removing a queued page's item kills its job when it runs and takes it off the queue;
//     a merge item is only taken off its list.
//   - Move up / move down swap the files shown by two neighbouring merge rows (and their
//     media records); rows, task ids and check marks stay where they are.
// The media records and output parameters of removed items are erased with them.
// UI thread only.

#include "tasks/TaskTypes.h"
#include "ui/main/MainWndHandler.h"

#include <functional>
#include <vector>

class QWidget;

namespace tolvex {

class CListUI;
class PageTasks;

class ListEditing : public MainWndHandler {
public:
    explicit ListEditing(PageTasks& tasks);

    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

    void ClearPage(PageKind page);
    void removeItem(PageKind page, TaskId taskId);
    // Moves the file of merge item `taskId` one row up (-1) or down (+1). False when nothing moved.
    bool moveMergeItem(TaskId taskId, int direction);
    // Ticks (or unticks) every merge item.
    void checkAllMergeItems(bool checked);
    // Called after a page was cleared (files still on their way to it are dropped there).
    void setClearHook(std::function<void(PageKind)> hook) { m_clearHook = std::move(hook); }

private:
    void showMergeRow(QWidget* item, TaskId taskId);
    void forgetTask(TaskId taskId);

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
    std::function<void(PageKind)> m_clearHook;
};

// The task ids of a list's items (their tags), in list order.
std::vector<TaskId> ListTaskIds(const CListUI* list);

}  // namespace tolvex
