#include "ui/main/ParamSettingDialog.h"

#include "app/Helpers.h"
#include "media/ParamOptionTable.h"
#include "ui/framework/Controls.h"
#include "ui/framework/OwnedDialog.h"
#include "ui/main/OptionWordText.h"

#include <QAbstractButton>
#include <QComboBox>

#include <memory>

namespace tolvex {

namespace {

constexpr const char* kListNames[kParamListCount] = {"video-code-format", "video-bitrate", "audio-code-format",
                                                     "audio-sample-rate", "audio-bitrate", "audio-channel"};

int32_t StoredIndex(const OutputParams& params, ParamList list)
{
    switch (list) {
    case ParamList::VideoCodec:
        return params.videoCodecIndex;
    case ParamList::VideoBitRate:
        return params.videoBitRateIndex;
    case ParamList::AudioCodec:
        return params.audioCodecIndex;
    case ParamList::SampleRate:
        return params.sampleRateIndex;
    case ParamList::AudioBitRate:
        return params.audioBitRateIndex;
    case ParamList::Channels:
        return params.channelsIndex;
    }
    return -1;
}

}  // namespace

ParamSettingDialog::ParamSettingDialog(QObject* owner, TaskId taskId, std::string format,
                                       std::optional<OutputParams> stored)
    : m_owner(owner), m_taskId(taskId), m_format(std::move(format)), m_stored(std::move(stored))
{
}

ParamSettingDialog::~ParamSettingDialog() = default;

void ParamSettingDialog::Open(QWidget* owner, TaskId taskId, const std::string& format,
                              std::optional<OutputParams> stored)
{
    RunOwnedModal(std::make_unique<ParamSettingDialog>(owner, taskId, format, std::move(stored)), owner);
}

QString ParamSettingDialog::GetSkinFile()
{
    return QStringLiteral("ParamSetting.xml");
}

QString ParamSettingDialog::getWindowClassName() const
{
    return QStringLiteral("参数设置");
}

void ParamSettingDialog::InitWindow()
{
    for (int i = 0; i < kParamListCount; ++i)
        m_lists[i] = findControlAs<QComboBox>(QString::fromLatin1(kListNames[i]));
    m_confirm = findControlAs<QAbstractButton>(QStringLiteral("confirm-btn"));
    m_cancel = findControlAs<QAbstractButton>(QStringLiteral("cancel-btn"));
    fillLists(ParamOptionTable());
}

void ParamSettingDialog::fillLists(const ParamOptionTable& table)
{
    for (int i = 0; i < kParamListCount; ++i) {
        QComboBox* box = m_lists[i];
        if (!box)
            continue;
        const auto list = static_cast<ParamList>(i);
        // Filling is not a user choice: no notifications while the options go in.
        const QSignalBlocker blocker(box);
        box->clear();
        const ParamOptions& options = table.options(list, m_format);
        int selected = -1;
        for (size_t n = 0; n < options.size(); ++n) {
            AddOptionWordItem(box, options[n].text);
            if (!m_stored && options[n].isDefault)
                selected = static_cast<int>(n);
        }
        if (m_stored) {
            const int32_t index = StoredIndex(*m_stored, list);
            selected = index >= 0 && index < box->count() ? index : -1;
        }
        box->setCurrentIndex(selected);
    }
}

ParamChoices ParamSettingDialog::currentChoices() const
{
    ParamChoices choices;
    for (int i = 0; i < kParamListCount; ++i) {
        const QComboBox* box = m_lists[i];
        if (!box)
            continue;
        choices[i].index = box->currentIndex();
        choices[i].text = box->currentIndex() >= 0 ? ToNarrowAnsi(ChoiceText(box, box->currentIndex())) : std::string();
    }
    return choices;
}

void ParamSettingDialog::confirm()
{
    auto record = std::make_unique<OutputParamsRecord>();
    record->params = ParseOutputParams(m_taskId, currentChoices());
    PostMessageTo(m_owner.data(), WM_OUTPUT_PARAMS, std::move(record));
    Close(1);
}

void ParamSettingDialog::Notify(TNotifyUI& msg)
{
    if (msg.type == QLatin1String("click") && msg.sender) {
        if (m_confirm && msg.sender == m_confirm)
            confirm();
        else if (m_cancel && msg.sender == m_cancel)
            Close(1);
    }
    WindowImplBase::Notify(msg);
}

void ParamSettingDialog::OnFinalMessage()
{
    delete this;
}

}  // namespace tolvex
