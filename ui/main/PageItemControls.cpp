#include "ui/main/PageItemControls.h"

#include "app/Helpers.h"
#include "media/ResolutionTable.h"
#include "tasks/CompressCommand.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/OptionWordText.h"
#include "ui/main/PageTasks.h"
#include "ui/main/ParamSettingDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSlider>

#include <algorithm>

namespace tolvex {

namespace {

QWidget* ConvertItem(CMainWnd& window, TaskId taskId)
{
    CListUI* list = window.pageList(PageKind::Convert);
    return list ? list->findItem(QStringLiteral("item-%1").arg(taskId)) : nullptr;
}

}  // namespace

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
}

void PageItemControls::onNotify(TNotifyUI& msg)
{
    if (!msg.sender)
        return;
    const auto taskId = static_cast<TaskId>(ControlTag(msg.sender));
    const QString name = msg.senderName();
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
    QWidget* output = FindSubControl(item, QStringLiteral("output-filename"));
    SetControlText(output, ReplaceExtension(ControlText(output), format));
    m_tasks.OutputParams().erase(taskId);
    FillResolutionBox(item, format);
}

void PageItemControls::openParamSetting(TaskId taskId)
{
    QWidget* item = ConvertItem(*m_window, taskId);
    if (!item)
        return;
    const QString format = ControlText(FindSubControl(item, QStringLiteral("video-convert-format")));
    ParamSettingDialog::Open(m_window, taskId, ToNarrowAnsi(format), m_tasks.OutputParams().find(taskId));
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

}  // namespace tolvex
