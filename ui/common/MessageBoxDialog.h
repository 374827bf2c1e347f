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

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

private:
    QAbstractButton* m_msgCancel = nullptr;
};

}  // namespace tolvex
