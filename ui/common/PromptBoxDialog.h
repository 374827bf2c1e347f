#pragma once

// A notice with one confirm button ("msgConfirm", answer 1), from the skin "PromptBox.xml".
// See BoxDialogBase for how a box is created, run and ended. UI thread only.

#include "ui/common/BoxDialogBase.h"

namespace tolvex {

class PromptBoxDialog : public BoxDialogBase {
    Q_OBJECT

public:
    PromptBoxDialog(QWidget* owner, const QString& text, const QStringList& fileNames = {});

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
};

}  // namespace tolvex
