#pragma once

// One call to ask a question or give a notice with the skinned boxes: creates the box as a
// captioned pop-up owned by `owner` (the box drops the caption itself), centres it over the
// owner, runs it modally and returns its answer.
//
//   ShowMessageBox: 1 for "msgConfirm", 0 for "msgCancel", Escape or close.
//   ShowPromptBox:  1 for "msgConfirm", 0 for Escape or close.
//
// `fileNames` are shown one a line under the text, a name too wide for the box shortened in
// its middle (the box's tool tip holds them whole). The box grows with its text up to a
// limit (BoxDialogBase).
//
// Both answer 0 without showing anything when the box's skin cannot be loaded or its
// initialisation fails (the reason is logged), so a caller that proceeds on a non-zero
// answer never proceeds unasked.
//
// Thread use: called on the UI thread, the box runs there. Called from another thread,
// the call is carried out on the UI thread and the calling thread waits for the answer:
// the caller must not hold a lock the UI thread may need.

#include <QString>
#include <QStringList>

class QWidget;

namespace tolvex {

int ShowMessageBox(QWidget* owner, const QString& text, const QStringList& fileNames = {});
int ShowPromptBox(QWidget* owner, const QString& text, const QStringList& fileNames = {});
// A message box whose two buttons say what they do ("添加" / "不添加"); answers as
// ShowMessageBox. UI thread only.
int ShowQuestionBox(QWidget* owner, const QString& text, const QString& confirmText, const QString& cancelText);

}  // namespace tolvex
