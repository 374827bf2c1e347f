#pragma once

// The controls inside list items that change what an item will produce:
//   - a convert item's format box: the output name takes the new extension, parameters
//     chosen for the old format are dropped and the resolution box offers the new
//     format's sizes (its default selected);
//   - a convert item's parameter button: the parameter dialog for that item;
//   - a compress item's strength slider: the estimated output size (the job's target);
//   - a failed item's retry button: the item is queued again with the same settings (a
//     convert item under a new name from its input's stem); the merge page's retry button
//     runs the merge again.
// The item's task id is the tag of the control (the retry button's: of its item).
// UI thread only.

#include "tasks/TaskTypes.h"
#include "ui/main/MainWndHandler.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace tolvex {

class PageTasks;

// The output name for a new format: the old name up to its last "." (all of it when it has
// none), then "." and the format.
QString ReplaceExtension(const QString& fileName, const QString& format);
// A convert item's output name as planned (from its input's stem, the clock and the
// format), which its jobs reserve; the label may show the name a job really got instead.
QString PlannedOutputName(QWidget* item);
void SetPlannedOutputName(QWidget* item, const QString& name);
// The label shows the name a job got; the planned one stays for the next run.
void ShowReservedOutputName(QWidget* item, const QString& name);
// The compress estimate at slider value `value` (0-100, 100 counting as 99).
int64_t CompressEstimateBytes(int64_t fileSize, int value);
// The estimate beside the real size of the finished file: "12.3MB（实际 11.9MB）".
QString CompressResultText(int64_t promisedBytes, int64_t realBytes);
// A compress item whose job is done: its size label shows the job's promise and the size
// of `outputPath`. Nothing changes when the file is not there.
void ShowCompressResult(QWidget* item, int64_t promisedBytes, const QString& outputPath);

class PageItemControls : public MainWndHandler {
public:
    explicit PageItemControls(PageTasks& tasks);

    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

    void onConvertFormatChosen(TaskId taskId);
    void openParamSetting(TaskId taskId);
    void onCompressSliderMoved(TaskId taskId, int value);
    // Queues a failed item again; false when it is not listed (or is a merge item).
    bool retry(PageKind page, TaskId taskId);
    bool retryMerge();

private:
    bool retryItemOf(QWidget* control);

    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
};

// Fills a convert item's resolution box with the sizes of `format`, default selected;
// leaves it alone for a format without a list.
void FillResolutionBox(QWidget* item, const QString& format);

}  // namespace tolvex
