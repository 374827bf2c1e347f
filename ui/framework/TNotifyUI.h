#pragma once

// One user action on a control of a skinned window, handed to the window's Notify.
//
// Types, and the Qt signal each comes from:
//   "click"         a push button, tool button, check box or radio button was clicked
//                   (for a checkable button the sender already shows its new state)
//   "selectchanged" a check box changed state, or an option (radio button, or a
//                   checkable button of an exclusive group) became selected
//   "valuechanged"  a slider's value changed (user or program)
//   "itemselect"    a combo box or a list changed its current item; wParam = new index
//   "itemclick"     an item of a list was clicked; wParam = item index
//   "textchanged"   the user edited the text of a line edit
// Notifications are delivered synchronously on the UI thread, exactly once per action.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace tolvex {

struct TNotifyUI {
    QString type;
    QPointer<QWidget> sender;
    intptr_t wParam = 0;
    intptr_t lParam = 0;

    QString senderName() const { return sender ? sender->objectName() : QString(); }
};

}  // namespace tolvex
