#pragma once

// The controls inside list items that change what an item will produce:
//   - a convert item's format box: the output name takes the new extension, parameters
//     chosen for the old format are dropped and the resolution box offers the new
//     format's sizes (its default selected);
//   - a convert item's parameter button: the parameter dialog for that item;
//   - a compress item's strength slider: the estimated output size.
// The item's task id is the tag of the control.
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
// The compress estimate at slider value `value` (0-100, 100 counting as 99).
int64_t CompressEstimateBytes(int64_t fileSize, int value);

class PageItemControls : public MainWndHandler {
public:
    explicit PageItemControls(PageTasks& tasks);

    void Attach(CMainWnd& window) override;
    void OnNotify(TNotifyUI& msg) override;

    void OnConvertFormatChosen(TaskId taskId);
    void OpenParamSetting(TaskId taskId);
    void OnCompressSliderMoved(TaskId taskId, int value);

private:
    PageTasks& m_tasks;
    CMainWnd* m_window = nullptr;
};

// Fills a convert item's resolution box with the sizes of `format`, default selected;
// leaves it alone for a format without a list.
void FillResolutionBox(QWidget* item, const QString& format);

}  // namespace tolvex
