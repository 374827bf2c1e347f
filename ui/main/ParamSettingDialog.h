#pragma once

// The output-parameter dialog of one convert item: six drop-downs (video codec, video bit
// rate, audio codec, sample rate, audio bit rate, channels) filled from the parameter table
// for the item's output format. Opened without a stored record it selects each list's
// default; with one it restores the stored positions. Confirming posts WM_OUTPUT_PARAMS
// with a new record to the owner window; cancelling (or the close button) posts nothing.
//
// Created on the heap, run modally, deletes itself after its final message.
// UI thread only.

#include "app/PostedMessage.h"
#include "media/OutputParams.h"
#include "tasks/TaskTypes.h"
#include "ui/framework/WindowImplBase.h"

#include <QPointer>

#include <array>
#include <optional>
#include <string>

class QAbstractButton;
class QComboBox;

namespace tolvex {

class ParamOptionTable;

// The record carried by WM_OUTPUT_PARAMS.
struct OutputParamsRecord : MessageRecord {
    OutputParams params;
};

class ParamSettingDialog : public WindowImplBase {
    Q_OBJECT

public:
    // `format`: the item's output format word (narrow); `stored`: a copy of the item's
    // record when one was confirmed before.
    ParamSettingDialog(QObject* owner, TaskId taskId, std::string format, std::optional<OutputParams> stored);
    ~ParamSettingDialog() override;

    // Creates the dialog over `owner`, centres it and runs it modally; returns when it closed.
    static void Open(QWidget* owner, TaskId taskId, const std::string& format, std::optional<OutputParams> stored);

    // The drop-downs in the order the dialog fills them (null when the skin lacks one).
    QComboBox* list(ParamList list) const { return m_lists[static_cast<size_t>(list)]; }
    // The selections as they stand (position and narrow text of each list).
    ParamChoices currentChoices() const;

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage() override;

private:
    void fillLists(const ParamOptionTable& table);
    void confirm();

    QPointer<QObject> m_owner;
    TaskId m_taskId;
    std::string m_format;
    std::optional<OutputParams> m_stored;
    std::array<QComboBox*, kParamListCount> m_lists{};
    QAbstractButton* m_confirm = nullptr;
    QAbstractButton* m_cancel = nullptr;
};

}  // namespace tolvex
