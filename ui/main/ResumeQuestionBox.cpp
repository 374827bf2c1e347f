#include "ui/main/ResumeQuestionBox.h"

#include "ui/framework/OwnedDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace tolvex {

ResumeQuestionBox::ResumeQuestionBox(QWidget* owner, int unfinished) : BoxDialogBase(owner, questionText(unfinished)) {}

QString ResumeQuestionBox::questionText(int unfinished)
{
    return QCoreApplication::translate("ResumeQuestionBox", "上次还有 %n 个任务没有完成，是否继续？", nullptr,
                                       unfinished);
}

ResumeQuestionBox::Answer ResumeQuestionBox::ask(QWidget* owner, int unfinished)
{
    const int answer = RunOwnedModal(std::make_unique<ResumeQuestionBox>(owner, unfinished), owner);
    return answer == Continue || answer == Discard ? static_cast<Answer>(answer) : Unanswered;
}

QString ResumeQuestionBox::GetSkinFile()
{
    // The program's question box, with its own button texts.
    return QStringLiteral("MessageBox.xml");
}

QString ResumeQuestionBox::getWindowClassName() const
{
    return QStringLiteral("ResumeQuestionBox");
}

void ResumeQuestionBox::InitWindow()
{
    BoxDialogBase::InitWindow();
    m_msgCancel = findControlAs<QAbstractButton>(QStringLiteral("msgCancel"));
    if (m_msgConfirm)
        m_msgConfirm->setText(QCoreApplication::translate("ResumeQuestionBox", "继续"));
    if (m_msgCancel)
        m_msgCancel->setText(QCoreApplication::translate("ResumeQuestionBox", "放弃"));
}

void ResumeQuestionBox::Notify(TNotifyUI& msg)
{
    if (msg.type == QLatin1String("click") && m_msgCancel && msg.sender == m_msgCancel)
        Close(Discard);
    BoxDialogBase::Notify(msg);
}

}  // namespace tolvex
