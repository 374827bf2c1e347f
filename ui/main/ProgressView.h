#pragma once

// What the pages show while their jobs run: the handlers of the task messages.
//   WM_TASK_STARTED  the item's bar and label at 0 %, shown; its failure mark, retry
//                    button and time left hidden
//   WM_TASK_PROGRESS the item's bar and "%d%" label and the time left beside them, once it
//                    can be told (the merge page: its page bar, for the whole merge)
//   WM_TASK_DONE     100 % and how long the job took
//   WM_TASK_FAILED   the item's bar and label hidden, its failure mark and retry button
//                    shown and the reason as its tip (the merge page: its label says so)
//   WM_TASK_OUTPUT   the item's output name follows the name reserved for its file
// The first failure for want of ffmpeg also tells the user so, once.
// The task engine has decided the end and moves its queue itself: this view only shows.
//   WM_OUTPUT_PARAMS the parameter dialog's record stored for its task
// A message for an item that is no longer listed changes no control.
// UI thread only.

#include "tasks/TaskMessageDecoder.h"
#include "tasks/TaskTypes.h"
#include "ui/main/MainWndHandler.h"

#include <QString>

#include <map>

class QWidget;

namespace tolvex {

class PageTasks;

// The progress controls of one page's items.
struct ProgressControlNames {
    const char* list;   // the page list (null for merge: its controls are on the page)
    const char* bar;    // progress bar
    const char* label;  // percentage label
    const char* error;  // failure mark
};
ProgressControlNames ProgressControlsOf(PageKind page);

// The controls every item has beside its progress, and the merge page's own.
constexpr const char* kTimeLeftLabel = "time-left";
constexpr const char* kRetryButton = "retry-btn";
constexpr const char* kMergeTimeLeftLabel = "video-merge-time-left";
constexpr const char* kMergeRetryButton = "video-merge-retry-btn";

// An item about to run (again): bar and percentage at 0 % and shown; failure mark, retry
// button, time left and the failure's tip cleared.
void ResetItemProgress(QWidget* item, PageKind page);
// "剩余 0:42" and "用时 0:12" in the interface's language.
QString TimeLeftText(int64_t milliseconds);
QString TimeTakenText(int64_t milliseconds);

class ProgressView : public MainWndHandler {
public:
    explicit ProgressView(PageTasks& tasks);

    void attach(CMainWnd& window) override;
    bool onMessage(MessageEvent& message) override;

    // The list item of a task, or null when it is not (or no longer) listed.
    QWidget* itemOf(PageKind page, TaskId taskId) const;

private:
    void onStarted(PageKind page, TaskId taskId);
    void onProgress(const TaskUpdate& update);
    void onDone(const TaskUpdate& update);
    void onFailed(PageKind page, TaskId taskId, const QString& reason);
    void onOutput(PageKind page, TaskId taskId, const QString& outputPath);
    // The item's tool tip names what its output cannot hold (empty: nothing lost).
    void showDropped(PageKind page, TaskId taskId, const QString& dropped);
    // Sets the bar and label of `container` (an item, or the merge page's window).
    void showPercent(QWidget* container, PageKind page, int percent);
    // The time-left label of `container` (an item, or the merge page's window).
    void showTimeLeft(QWidget* container, PageKind page, const QString& text);

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
    TaskMessageDecoder m_decoder;
    bool m_toldFfmpegMissing = false;
    // The file each compress job really writes (a taken name gets a number), for its result.
    std::map<TaskId, QString> m_compressOutputs;
};

}  // namespace tolvex
