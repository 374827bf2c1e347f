#include "ui/main/ProgressView.h"

#include "app/ConsoleLog.h"
#include "tasks/CompressCommand.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/ProgressMath.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/FailureReasonText.h"
#include "ui/main/FinishNotice.h"
#include "ui/main/PageItemControls.h"
#include "ui/main/PageTasks.h"
#include "ui/main/ParamSettingDialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace tolvex {

namespace {

constexpr ProgressControlNames kProgressControls[kPageCount] = {
    {"video-convert-list", "video-convert-progress", "video-progress-label", "video-progress-error"},
    {"video-split-list", "video-split-progress", "video-split-progress-label", "video-split-progress-error"},
    {nullptr, "video-merge-progress", "video-merge-progress-label", nullptr},
    {"video-compress-list", "compress-progress", "progress-label", "compress-progress-error"},
    {"video-rotate-list", "video-rotate-progress", "video-rotate-progress-label", "video-rotate-progress-error"},
    {"video-gif-list", "video-gif-progress", "video-gif-progress-label", "video-gif-progress-error"},
    {"video-extract-list", "video-extract-progress", "video-extract-progress-label", "video-extract-progress-error"},
    {"video-mute-list", "video-mute-progress", "video-mute-progress-label", "video-mute-progress-error"},
    {"video-music-list", "video-music-progress", "video-music-progress-label", "video-music-progress-error"},
};

// The label of an item (or the merge page) whose job failed.
QString FailedText()
{
    return QCoreApplication::translate("ProgressView", "失败");
}

// The failure mark of a compress item whose file came out no smaller.
QString CompressFailedText()
{
    return QCoreApplication::translate("ProgressView", "压缩失败");
}

bool IsPage(int32_t kind)
{
    return kind >= 0 && kind < kPageCount;
}

QWidget* Named(QWidget* container, const char* name)
{
    return name ? FindSubControl(container, QString::fromLatin1(name)) : nullptr;
}

// The item's failure mark: the page's own name, or any control of the item whose name ends
// in "-error" (the item templates name their marks after their bars).
QWidget* FailureMarkOf(QWidget* item, PageKind page)
{
    if (QWidget* mark = Named(item, ProgressControlsOf(page).error))
        return mark;
    const QList<QWidget*> children = item->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->objectName().endsWith(QLatin1String("-error")))
            return child;
    }
    return nullptr;
}

}  // namespace

ProgressControlNames ProgressControlsOf(PageKind page)
{
    const int index = static_cast<int>(page);
    return IsPage(index) ? kProgressControls[index] : ProgressControlNames{};
}

ProgressView::ProgressView(PageTasks& tasks) : m_tasks(tasks) {}

void ProgressView::attach(CMainWnd& window)
{
    m_window = &window;
    for (const int number :
         {WM_TASK_STARTED, WM_TASK_PROGRESS, WM_TASK_DONE, WM_TASK_FAILED, WM_TASK_OUTPUT, WM_OUTPUT_PARAMS})
        window.routeMessage(number, this);
}

QWidget* ProgressView::itemOf(PageKind page, TaskId taskId) const
{
    const ProgressControlNames names = ProgressControlsOf(page);
    if (!m_window || !names.list)
        return nullptr;
    CListUI* list = m_window->pageList(page);
    return list ? list->findItem(QStringLiteral("item-%1").arg(taskId)) : nullptr;
}

bool ProgressView::onMessage(MessageEvent& message)
{
    switch (message.number()) {
    case WM_TASK_STARTED:
        if (const auto* record = message.recordAs<TaskStartRecord>(); record && IsPage(record->pageKind))
            onStarted(static_cast<PageKind>(record->pageKind), record->taskId);
        return true;
    case WM_TASK_PROGRESS:
        if (const auto* record = message.recordAs<ProgressRecord>(); record && IsPage(record->pageKind))
            onProgress(static_cast<PageKind>(record->pageKind), record->taskId, record->positionMs, record->durationMs);
        return true;
    case WM_TASK_DONE:
        if (const auto* record = message.recordAs<CompletionRecord>(); record && IsPage(record->pageKind))
            onDone(static_cast<PageKind>(record->pageKind), record->taskId);
        return true;
    case WM_TASK_FAILED:
        if (const auto* record = message.recordAs<FailureRecord>(); record && IsPage(record->pageKind))
            onFailed(static_cast<PageKind>(record->pageKind), record->taskId, QString::fromStdString(record->reason));
        return true;
    case WM_TASK_OUTPUT:
        if (const auto* record = message.recordAs<OutputNameRecord>(); record && IsPage(record->pageKind))
            onOutput(static_cast<PageKind>(record->pageKind), record->taskId,
                     QString::fromStdString(record->outputPath));
        return true;
    case WM_OUTPUT_PARAMS:
        // The record goes with the event; the table keeps a copy.
        if (const auto* record = message.recordAs<OutputParamsRecord>())
            m_tasks.OutputParams().store(record->params);
        return true;
    default:
        return false;
    }
}

void ProgressView::showPercent(QWidget* container, PageKind page, int percent)
{
    const ProgressControlNames names = ProgressControlsOf(page);
    if (auto* bar = qobject_cast<QProgressBar*>(Named(container, names.bar))) {
        // The bar keeps to its range; the label shows the number as computed.
        bar->setValue(std::clamp(percent, bar->minimum(), bar->maximum()));
    }
    SetControlText(Named(container, names.label), QStringLiteral("%1%").arg(percent));
}

void ProgressView::onStarted(PageKind page, TaskId taskId)
{
    QWidget* item = itemOf(page, taskId);
    if (!item)
        return;
    const ProgressControlNames names = ProgressControlsOf(page);
    if (QWidget* bar = Named(item, names.bar))
        bar->setVisible(true);
    if (QWidget* label = Named(item, names.label))
        label->setVisible(true);
    if (QWidget* mark = FailureMarkOf(item, page))
        mark->setVisible(false);
    showPercent(item, page, 0);
}

void ProgressView::onProgress(PageKind page, TaskId taskId, int32_t positionMs, int32_t durationMs)
{
    if (page == PageKind::Merge) {
        showPercent(m_window, page, MergeProgressPercent(positionMs, m_tasks.mergeTotalDuration()));
        return;
    }
    if (QWidget* item = itemOf(page, taskId))
        showPercent(item, page, ProgressPercent(positionMs, durationMs));
}

void ProgressView::onDone(PageKind page, TaskId taskId)
{
    // Counted before the queue side, which may turn the page idle.
    if (auto* notice = m_window ? m_window->handler<FinishNotice>() : nullptr)
        notice->onJobEnded(page, false);
    if (page == PageKind::Merge) {
        showPercent(m_window, page, 100);
        return;
    }
    if (QWidget* item = itemOf(page, taskId)) {
        showPercent(item, page, 100);
        // The compress item's size says what came out beside what was promised.
        if (page == PageKind::Compress) {
            if (const auto promise = m_tasks.factory().compressPromise(taskId)) {
                const auto reserved = m_compressOutputs.find(taskId);
                ShowCompressResult(item, promise->promisedBytes,
                                   reserved != m_compressOutputs.end() ? reserved->second
                                                                       : QString::fromStdString(promise->outputPath));
            }
        }
    }
}

void ProgressView::onFailed(PageKind page, TaskId taskId, const QString& reason)
{
    // Counted before the queue side, which may turn the page idle.
    if (auto* notice = m_window ? m_window->handler<FinishNotice>() : nullptr)
        notice->onJobEnded(page, true);
    // Without ffmpeg every job fails the same way: the user is told once, after this
    // message (a modal box must not run inside the engine's delivery).
    if (reason == QLatin1String(kFfmpegNotFound) && !m_toldFfmpegMissing && m_window) {
        m_toldFfmpegMissing = true;
        QTimer::singleShot(0, m_window, [window = QPointer<CMainWnd>(m_window)] {
            if (window)
                ShowPromptBox(window, QCoreApplication::translate("ProgressView", "找不到ffmpeg程序,无法处理文件!"));
        });
    }
    if (page == PageKind::Merge) {
        QWidget* label = Named(m_window, ProgressControlsOf(page).label);
        SetControlText(label, FailedText());
        // Say which input ffmpeg blamed, when it names one.
        const auto& sources = m_tasks.mergeSources();
        const int input = MergeInputNamedIn(reason.toStdString(), sources);
        if (label) {
            label->setToolTip(input < 0
                                  ? FailureReasonText(reason)
                                  : QCoreApplication::translate("ProgressView", "第%1个文件 %2 无法合并: %3")
                                        .arg(input + 1)
                                        .arg(QFileInfo(sources[input].fullPath).fileName(), FailureReasonText(reason)));
        }
        return;
    }
    if (QWidget* item = itemOf(page, taskId)) {
        const ProgressControlNames names = ProgressControlsOf(page);
        QWidget* mark = FailureMarkOf(item, page);
        QWidget* bar = Named(item, names.bar);
        QWidget* label = Named(item, names.label);
        if (mark) {
            if (bar)
                bar->setVisible(false);
            if (label)
                label->setVisible(false);
            mark->setToolTip(FailureReasonText(reason));
            // A compress item refused for its size says why on its face, not only in a tip.
            if (page == PageKind::Compress)
                SetControlText(
                    mark, IsCompressVerdict(reason.toStdString()) ? FailureReasonText(reason) : CompressFailedText());
            mark->setVisible(true);
        } else {
            // An item without a mark says it in its label; its bar stays where it stopped.
            SetControlText(label, FailedText());
        }
    }
}

void ProgressView::onOutput(PageKind page, TaskId taskId, const QString& outputPath)
{
    if (page == PageKind::Compress)
        m_compressOutputs[taskId] = outputPath;
    QWidget* item = itemOf(page, taskId);
    if (!item)
        return;
    // The item shows the name its file really gets (a taken name gets a number).
    const QString name = outputPath.mid(outputPath.lastIndexOf(QLatin1Char('/')) + 1);
    const char* label = nullptr;
    if (page == PageKind::Convert)
        label = "output-filename";
    else if (page == PageKind::Split || page == PageKind::Gif)
        label = "fileNameLabel";
    if (QWidget* control = Named(item, label))
        SetControlText(control, name);
}

}  // namespace tolvex
