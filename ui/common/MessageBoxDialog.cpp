#include "ui/common/MessageBoxDialog.h"

#include <QAbstractButton>

namespace tolvex {

MessageBoxDialog::MessageBoxDialog(QWidget* owner, const QString& text, const QStringList& fileNames)
    : BoxDialogBase(owner, text, fileNames)
{
}

QString MessageBoxDialog::GetSkinFile()
{
    return QStringLiteral("MessageBox.xml");
}

QString MessageBoxDialog::getWindowClassName() const
{
    return QStringLiteral("MessageBoxDialog");
}

void MessageBoxDialog::InitWindow()
{
    BoxDialogBase::InitWindow();
    m_msgCancel = findControlAs<QAbstractButton>(QStringLiteral("msgCancel"));
    auto* confirm = findControlAs<QAbstractButton>(QStringLiteral("msgConfirm"));
    if (confirm && !m_confirmText.isEmpty())
        confirm->setText(m_confirmText);
    if (m_msgCancel && !m_cancelText.isEmpty())
        m_msgCancel->setText(m_cancelText);
}

void MessageBoxDialog::Notify(TNotifyUI& msg)
{
    if (msg.type == QLatin1String("click") && m_msgCancel && msg.sender == m_msgCancel)
        Close(0);
    BoxDialogBase::Notify(msg);
}

}  // namespace tolvex
