#include "ui/main/PageItemControls.h"

#include "app/Helpers.h"
#include "media/MediaImportRules.h"
#include "media/ResolutionTable.h"
#include "tasks/CompressCommand.h"
#include "tasks/ConvertCommand.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/OptionWordText.h"
#include "ui/main/PageStartHandler.h"
#include "ui/main/PageTasks.h"
#include "ui/main/ParamSettingDialog.h"
#include "ui/main/ProgressView.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSlider>
#include <QTime>
#include <QVariant>

#include <algorithm>

namespace tolvex {

namespace {

QWidget* ConvertItem(CMainWnd& window, TaskId taskId)
{
    CListUI* list = window.pageList(PageKind::Convert);
    return list ? list->findItem(QStringLiteral("item-%1").arg(taskId)) : nullptr;
}

// The property of a convert item's output name label that keeps the planned name while the
// label shows the name a job really got.
constexpr char kPlannedNameProperty[] = "plannedName";

QWidget* OutputNameLabel(QWidget* item)
{
    return item ? FindSubControl(item, QStringLiteral("output-filename")) : nullptr;
}

}  // namespace

QString PlannedOutputName(QWidget* item)
{
    QWidget* label = OutputNameLabel(item);
    if (!label)
        return {};
    const QVariant planned = label->property(kPlannedNameProperty);
    return planned.isValid() ? planned.toString() : ControlText(label);
}

void SetPlannedOutputName(QWidget* item, const QString& name)
{
    if (QWidget* label = OutputNameLabel(item)) {
        label->setProperty(kPlannedNameProperty, name);
        SetControlText(label, name);
    }
}

void ShowReservedOutputName(QWidget* item, const QString& name)
{
    QWidget* label = OutputNameLabel(item);
    if (!label)
        return;
    if (!label->property(kPlannedNameProperty).isValid())
        label->setProperty(kPlannedNameProperty, ControlText(label));
    SetControlText(label, name);
}

QString ReplaceExtension(const QString& fileName, const QString& format)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return (dot >= 0 ? fileName.left(dot) : fileName) + QLatin1Char('.') + format;
}

int64_t CompressEstimateBytes(int64_t fileSize, int value)
{
    // The estimate is the compress job's target: one formula for both.
    return CompressTargetBytes(fileSize, std::clamp(value, 0, 100));
}

QString CompressResultText(int64_t promisedBytes, int64_t realBytes)
{
    return QStringLiteral("%1（实际 %2）").arg(FormatFileSize(promisedBytes), FormatFileSize(realBytes));
}

void ShowCompressResult(QWidget* item, int64_t promisedBytes, const QString& outputPath)
{
    const QFileInfo output(outputPath);
    if (!item || outputPath.isEmpty() || !output.isFile())
        return;
    SetControlText(FindSubControl(item, QStringLiteral("video-compress-label")),
                   CompressResultText(promisedBytes, output.size()));
}

void FillResolutionBox(QWidget* item, const QString& format)
{
    auto* box = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-ratio"));
    const auto& options = ResolutionTable::options(ToNarrowAnsi(format));
    if (!box || options.empty())
        return;
    box->clear();
    int selected = 0;
    for (size_t i = 0; i < options.size(); ++i) {
        AddOptionWordItem(box, options[i].text);
        if (options[i].isDefault)
            selected = static_cast<int>(i);
    }
    box->setCurrentIndex(selected);
}

PageItemControls::PageItemControls(PageTasks& tasks) : m_tasks(tasks) {}

void PageItemControls::attach(CMainWnd& window)
{
    m_window = &window;
    window.routeNotify(QStringLiteral("itemselect"), QStringLiteral("video-convert-format"), this);
    window.routeNotify(QStringLiteral("click"), QStringLiteral("video-param-setting-btn"), this);
    window.routeNotify(QStringLiteral("valuechanged"), QStringLiteral("video-compress-slider"), this);
    window.routeNotify(QStringLiteral("click"), QString::fromLatin1(kRetryButton), this);
    window.routeNotify(QStringLiteral("click"), QString::fromLatin1(kMergeRetryButton), this);
}

void PageItemControls::onNotify(TNotifyUI& msg)
{
    if (!msg.sender)
        return;
    const QString name = msg.senderName();
    if (name == QLatin1String(kRetryButton)) {
        retryItemOf(msg.sender);
        return;
    }
    if (name == QLatin1String(kMergeRetryButton)) {
        retryMerge();
        return;
    }
    const auto taskId = static_cast<TaskId>(ControlTag(msg.sender));
    if (name == QLatin1String("video-convert-format")) {
        onConvertFormatChosen(taskId);
    } else if (name == QLatin1String("video-param-setting-btn")) {
        openParamSetting(taskId);
    } else if (name == QLatin1String("video-compress-slider")) {
        if (auto* slider = qobject_cast<QSlider*>(msg.sender.data()))
            onCompressSliderMoved(taskId, slider->value());
    }
}

void PageItemControls::onConvertFormatChosen(TaskId taskId)
{
    QWidget* item = ConvertItem(*m_window, taskId);
    if (!item)
        return;
    const QString format = ControlText(FindSubControl(item, QStringLiteral("video-convert-format")));
    SetPlannedOutputName(item, ReplaceExtension(PlannedOutputName(item), format));
    m_tasks.outputParams().erase(taskId);
    FillResolutionBox(item, format);
}

void PageItemControls::openParamSetting(TaskId taskId)
{
    QWidget* item = ConvertItem(*m_window, taskId);
    if (!item)
        return;
    const QString format = ControlText(FindSubControl(item, QStringLiteral("video-convert-format")));
    ParamSettingDialog::Open(m_window, taskId, ToNarrowAnsi(format), m_tasks.outputParams().find(taskId));
}

void PageItemControls::onCompressSliderMoved(TaskId taskId, int value)
{
    const auto record = m_window->mediaItems().find(taskId);
    if (!record)
        return;
    CListUI* list = m_window->pageList(PageKind::Compress);
    QWidget* item = list ? list->findItem(QStringLiteral("item-%1").arg(taskId)) : nullptr;
    if (!item)
        return;
    SetControlText(FindSubControl(item, QStringLiteral("video-compress-label")),
                   FormatFileSize(CompressEstimateBytes(record->fileSize, value)));
}

bool PageItemControls::retryItemOf(QWidget* control)
{
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        CListUI* list = m_window->pageList(page);
        if (!list || !list->isAncestorOf(control))
            continue;
        // The item is the list's row that holds the button.
        for (int row = 0; row < list->count(); ++row) {
            QWidget* item = list->itemAt(row);
            if (item && item->isAncestorOf(control))
                return retry(page, static_cast<TaskId>(ControlTag(item)));
        }
    }
    return false;
}

bool PageItemControls::retry(PageKind page, TaskId taskId)
{
    CListUI* list = m_window->pageList(page);
    QWidget* item = list ? list->findItem(QStringLiteral("item-%1").arg(taskId)) : nullptr;
    if (!item || page == PageKind::Merge)
        return false;
    if (page == PageKind::Convert) {
        // A new name from the input's own stem and the clock, like a newly added item's:
        // the failed run's name (which may carry a number already) would only grow.
        if (const auto media = m_window->mediaItems().find(taskId)) {
            const QString format = ControlText(FindSubControl(item, QStringLiteral("video-convert-format")));
            SetPlannedOutputName(item, ToWideAnsi(ConvertOutputName(media->fileName, QTime::currentTime(), format)));
        }
    }
    ResetItemProgress(item, page);
    return m_tasks.engine().StartPage(page, {taskId});
}

bool PageItemControls::retryMerge()
{
    QWidget* button = m_window->FindControl(QString::fromLatin1(kMergeRetryButton));
    if (button)
        button->setVisible(false);
    auto* start = m_window->handler<PageStartHandler>();
    const bool started = start && start->StartPage(PageKind::Merge);
    // Not started (a prompt said why): the failed merge can still be retried.
    if (!started && button)
        button->setVisible(true);
    return started;
}

}  // namespace tolvex
