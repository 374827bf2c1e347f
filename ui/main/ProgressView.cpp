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
    case WM_OUTPUT_PARAMS:
        // The record goes with the event; the table keeps a copy.
        if (const auto* record = message.recordAs<OutputParamsRecord>())
            m_tasks.outputParams().store(record->params);
        return true;
    case WM_TASK_STARTED:
    case WM_TASK_PROGRESS:
    case WM_TASK_DONE:
    case WM_TASK_FAILED:
    case WM_TASK_OUTPUT:
        break;
    default:
        return false;
    }
    m_decoder.setMergeTotalSeconds(m_tasks.mergeTotalDuration());
    const std::optional<TaskUpdate> update = m_decoder.decode(message);
    if (!update)
        return true;
    switch (update->kind) {
    case TaskUpdate::Kind::Started:
        onStarted(update->page, update->taskId);
        break;
    case TaskUpdate::Kind::Progress:
        onProgress(*update);
        break;
    case TaskUpdate::Kind::Done:
        onDone(*update);
        break;
    case TaskUpdate::Kind::Failed:
        onFailed(update->page, update->taskId, QString::fromStdString(update->reason));
        break;
    case TaskUpdate::Kind::Output:
        onOutput(update->page, update->taskId, QString::fromStdString(update->outputPath));
        showDropped(update->page, update->taskId, QString::fromStdString(update->dropped));
        break;
    }
    return true;
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

void ResetItemProgress(QWidget* item, PageKind page)
{
    if (!item)
        return;
    const ProgressControlNames names = ProgressControlsOf(page);
    if (QWidget* bar = Named(item, names.bar))
        bar->setVisible(true);
    if (QWidget* label = Named(item, names.label))
        label->setVisible(true);
    if (QWidget* mark = FailureMarkOf(item, page))
        mark->setVisible(false);
    if (QWidget* retry = Named(item, kRetryButton))
        retry->setVisible(false);
    if (QWidget* left = Named(item, kTimeLeftLabel)) {
        SetControlText(left, QString());
        left->setVisible(true);
    }
    item->setToolTip(QString());
    if (auto* bar = qobject_cast<QProgressBar*>(Named(item, names.bar)))
        bar->setValue(0);
    SetControlText(Named(item, names.label), QStringLiteral("0%"));
}

QString TimeLeftText(int64_t milliseconds)
{
    return QCoreApplication::translate("ProgressView", "剩余 %1")
        .arg(QString::fromStdString(ShortClockText(milliseconds, ClockRounding::Up)));
}

QString TimeTakenText(int64_t milliseconds)
{
    return QCoreApplication::translate("ProgressView", "用时 %1")
        .arg(QString::fromStdString(ShortClockText(milliseconds)));
}

void ProgressView::showTimeLeft(QWidget* container, PageKind page, const QString& text)
{
    SetControlText(Named(container, page == PageKind::Merge ? kMergeTimeLeftLabel : kTimeLeftLabel), text);
}

void ProgressView::onStarted(PageKind page, TaskId taskId)
{
    ResetItemProgress(itemOf(page, taskId), page);
}

void ProgressView::onProgress(const TaskUpdate& update)
{
    QWidget* container = update.page == PageKind::Merge ? m_window : itemOf(update.page, update.taskId);
    if (!container)
        return;
    showPercent(container, update.page, update.percent);
    showTimeLeft(container, update.page, update.timeLeftMs ? TimeLeftText(*update.timeLeftMs) : QString());
}

void ProgressView::onDone(const TaskUpdate& update)
{
    const PageKind page = update.page;
    const TaskId taskId = update.taskId;
    // Counted before the queue side, which may turn the page idle.
    if (auto* notice = m_window ? m_window->handler<FinishNotice>() : nullptr)
        notice->onJobEnded(page, false);
    if (page == PageKind::Merge) {
        showPercent(m_window, page, 100);
        showTimeLeft(m_window, page, TimeTakenText(update.elapsedMs));
        return;
    }
    if (QWidget* item = itemOf(page, taskId)) {
        showPercent(item, page, 100);
        showTimeLeft(item, page, TimeTakenText(update.elapsedMs));
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
        showTimeLeft(m_window, page, QString());
        if (QWidget* retry = Named(m_window, kMergeRetryButton))
            retry->setVisible(true);
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
        // The reason is the item's tip, wherever the pointer rests on it (in the user's
        // language, as the mark's); its retry button queues it again.
        item->setToolTip(FailureReasonText(reason));
        showTimeLeft(item, page, QString());
        if (QWidget* retry = Named(item, kRetryButton))
            retry->setVisible(true);
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

void ProgressView::showDropped(PageKind page, TaskId taskId, const QString& dropped)
{
    // The merge has no item of its own: its start button carries the note.
    QWidget* target = page == PageKind::Merge ? Named(m_window, "video-merge-btn") : itemOf(page, taskId);
    if (!target)
        return;
    target->setToolTip(dropped.isEmpty() ? QString()
                                         : QCoreApplication::translate("ProgressView", "输出文件放不下的内容：") +
                                               QLatin1Char('\n') + dropped);
}

void ProgressView::onOutput(PageKind page, TaskId taskId, const QString& outputPath)
{
    if (page == PageKind::Compress)
        m_compressOutputs[taskId] = outputPath;
    if (page == PageKind::Merge) {
        // A merge gets its name as it starts: what the last one took or why it failed no
        // longer applies.
        showTimeLeft(m_window, page, QString());
        if (QWidget* retry = Named(m_window, kMergeRetryButton))
            retry->setVisible(false);
        return;
    }
    QWidget* item = itemOf(page, taskId);
    if (!item)
        return;
    // The item shows the name its file really gets (a taken name gets a number).
    const QString name = outputPath.mid(outputPath.lastIndexOf(QLatin1Char('/')) + 1);
    if (page == PageKind::Convert) {
        // The next run plans its name from the item's own, not from this one.
        ShowReservedOutputName(item, name);
        return;
    }
    const char* label = nullptr;
    if (page == PageKind::Split || page == PageKind::Gif)
        label = "fileNameLabel";
    if (QWidget* control = Named(item, label))
        SetControlText(control, name);
}

}  // namespace tolvex
