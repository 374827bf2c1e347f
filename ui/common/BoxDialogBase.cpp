#include "ui/common/BoxDialogBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace tolvex {

BoxDialogBase::BoxDialogBase(QWidget* owner, const QString& text) : m_owner(owner), m_text(text) {}

BoxDialogBase::~BoxDialogBase() = default;

bool BoxDialogBase::parseColourText(const QString& text, QRgb* colour)
{
    if (text.size() != 7 || text.at(0) != QLatin1Char('#'))
        return false;
    bool ok = false;
    const uint value = text.mid(1).toUInt(&ok, 16);
    if (!ok)
        return false;
    *colour = qRgb(static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                   static_cast<int>(value & 0xFF));
    return true;
}

void BoxDialogBase::InitWindow()
{
    // A box never has a system caption, whatever style its caller created it with: its skin
    // draws the whole window.
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);

    m_shadow.AttachShadow(this);
    m_shadow.SetShadowSize(kShadowSize);
    m_shadow.SetShadowOffset(0, 0);
    QRgb colour = qRgb(0, 0, 0);
    if (parseColourText(QString::fromLatin1(kShadowColourText), &colour))
        m_shadow.SetShadowColour(colour);

    m_msgText = findControlAs<QLabel>(QStringLiteral("msgText"));
    m_msgConfirm = findControlAs<QAbstractButton>(QStringLiteral("msgConfirm"));
    if (m_msgText)
        m_msgText->setText(m_text);
    if (m_msgConfirm)
        m_msgConfirm->setFocus();
}

void BoxDialogBase::Notify(TNotifyUI& msg)
{
    if (msg.type == QLatin1String("click") && m_msgConfirm && msg.sender == m_msgConfirm)
        Close(1);
    WindowImplBase::Notify(msg);
}

void BoxDialogBase::OnFinalMessage()
{
    delete this;
}

void BoxDialogBase::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape never answers yes.
        Close(0);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the focused button of the box.
        if (auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            button && button->window() == this) {
            button->click();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    WindowImplBase::keyPressEvent(event);
}

}  // namespace tolvex
