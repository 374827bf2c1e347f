#pragma once

// A question with a confirm and a cancel button, from the skin "MessageBox.xml": the
// answer is 1 for "msgConfirm" and 0 for "msgCancel" (and for Escape or the window
// manager's close). See BoxDialogBase for how a box is created, run and ended.
// UI thread only.

#include "ui/common/BoxDialogBase.h"

namespace tolvex {

class MessageBoxDialog : public BoxDialogBase {
    Q_OBJECT

public:
    MessageBoxDialog(QWidget* owner, const QString& text, const QStringList& fileNames = {});
    // Texts of "msgConfirm" and "msgCancel" in place of the skin's; call before the box is made.
    void setButtonTexts(const QString& confirm, const QString& cancel)
    {
        m_confirmText = confirm;
        m_cancelText = cancel;
    }

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

private:
    QAbstractButton* m_msgCancel = nullptr;
    QString m_confirmText;
    QString m_cancelText;
};

}  // namespace tolvex
