#pragma once

// Small operations on skin controls that the window code shares: the numeric tag (the task
// id in list items), mouse input on and off while keeping the look, and text access that
// works for labels, buttons, line edits and combo boxes alike.

#include <QString>
#include <QWidget>

class QComboBox;

namespace tolvex {

// The control named `name` below `container` (any depth), or null. The container itself
// matches too, so a list item can be found in its list and a control in its item.
QWidget* FindSubControl(QWidget* container, const QString& name);
template <class T>
T* FindSubControlAs(QWidget* container, const QString& name)
{
    return qobject_cast<T*>(FindSubControl(container, name));
}

// The control's tag: a number kept with the control (0 when never set).
void SetControlTag(QWidget* control, qint64 tag);
qint64 ControlTag(const QWidget* control);

// A control that ignores the mouse keeps its look but takes no clicks.
void SetMouseEnabled(QWidget* control, bool enabled);
bool IsMouseEnabled(const QWidget* control);

// Text of a label, button, line edit, text edit or combo box. A combo box gives the source
// text of its current item (the untranslated choice), setting one selects by it.
QString ControlText(const QWidget* control);
void SetControlText(QWidget* control, const QString& text);

// Combo box items whose shown text may be a translation: the source text is what
// ControlText and ChoiceText give back.
void AddChoiceItem(QComboBox* combo, const QString& source, const QString& shown);
QString ChoiceText(const QComboBox* combo, int index);

// Re-applies the style sheet after a dynamic property used by selectors changed.
void RepolishControl(QWidget* control);

}  // namespace tolvex
