#pragma once

// The question a start after an unclean end asks: "上次还有 N 个任务没有完成，是否继续？"
// in the program's own message box, its buttons reading "继续" and "放弃". Escape or the
// window manager's close answer neither: the work stays listed, waiting for the user.
// UI thread only.

#include "ui/common/BoxDialogBase.h"

namespace tolvex {

class ResumeQuestionBox : public BoxDialogBase {
    Q_OBJECT

public:
    enum Answer {
        Unanswered = 0,  // Escape or close
        Continue = 1,    // "继续" (the box's confirm button)
        Discard = 2,     // "放弃" (its cancel button)
    };

    ResumeQuestionBox(QWidget* owner, int unfinished);

    // "上次还有 N 个任务没有完成，是否继续？" in the interface's language.
    static QString questionText(int unfinished);
    // Runs the box modally over `owner`; Unanswered when it cannot be shown.
    static Answer ask(QWidget* owner, int unfinished);

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

private:
    QAbstractButton* m_msgCancel = nullptr;
};

}  // namespace tolvex
