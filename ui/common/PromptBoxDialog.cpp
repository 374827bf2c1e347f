#include "ui/common/PromptBoxDialog.h"

namespace tolvex {

PromptBoxDialog::PromptBoxDialog(QWidget* owner, const QString& text, const QStringList& fileNames)
    : BoxDialogBase(owner, text, fileNames)
{
}

QString PromptBoxDialog::GetSkinFile()
{
    return QStringLiteral("PromptBox.xml");
}

QString PromptBoxDialog::getWindowClassName() const
{
    return QStringLiteral("PromptBoxDialog");
}

}  // namespace tolvex
