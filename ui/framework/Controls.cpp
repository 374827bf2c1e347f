#include "ui/framework/Controls.h"

#include "ui/framework/SkinLoader.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextEdit>
#include <QVariant>

namespace tolvex {

namespace {
constexpr char kTagProperty[] = "tag";
}

QWidget* FindSubControl(QWidget* container, const QString& name)
{
    if (!container || name.isEmpty())
        return nullptr;
    if (container->objectName() == name)
        return container;
    return container->findChild<QWidget*>(name, Qt::FindChildrenRecursively);
}

void SetControlTag(QWidget* control, qint64 tag)
{
    if (control)
        control->setProperty(kTagProperty, QVariant::fromValue(tag));
}

qint64 ControlTag(const QWidget* control)
{
    if (!control)
        return 0;
    return control->property(kTagProperty).toLongLong();
}

void SetMouseEnabled(QWidget* control, bool enabled)
{
    if (!control)
        return;
    control->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    // Keyboard activation would bypass the mouse block: take focus away as well.
    control->setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
}

bool IsMouseEnabled(const QWidget* control)
{
    return control && !control->testAttribute(Qt::WA_TransparentForMouseEvents);
}

QString ControlText(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control)) {
        // The choice, not its translation: items keep their source text as data.
        const QVariant source = combo->currentData(SkinLoader::kSourceTextRole);
        return source.isValid() ? source.toString() : combo->currentText();
    }
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(control))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<const QTextEdit*>(control))
        return rich->toPlainText();
    return {};
}

void SetControlText(QWidget* control, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        int index = combo->findData(text, SkinLoader::kSourceTextRole);
        if (index < 0)
            index = combo->findText(text);
        if (index >= 0)
            combo->setCurrentIndex(index);
        else if (combo->isEditable())
            combo->setEditText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        rich->setPlainText(text);
}

void AddChoiceItem(QComboBox* combo, const QString& source, const QString& shown)
{
    if (!combo)
        return;
    combo->addItem(shown);
    combo->setItemData(combo->count() - 1, source, SkinLoader::kSourceTextRole);
}

QString ChoiceText(const QComboBox* combo, int index)
{
    if (!combo || index < 0 || index >= combo->count())
        return {};
    const QVariant source = combo->itemData(index, SkinLoader::kSourceTextRole);
    return source.isValid() ? source.toString() : combo->itemText(index);
}

void RepolishControl(QWidget* control)
{
    if (!control)
        return;
    control->style()->unpolish(control);
    control->style()->polish(control);
    control->update();
}

}  // namespace tolvex
