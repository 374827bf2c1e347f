#include "ui/common/BoxDialogBase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>

#include <algorithm>

namespace tolvex {

namespace {

// The room the skin keeps beside `control` across `window`: the side margins of every
// widget and layout it sits in.
int MarginsAround(const QWidget* control, const QWidget* window)
{
    int around = 0;
    for (const QWidget* widget = control->parentWidget(); widget; widget = widget->parentWidget()) {
        const QMargins own = widget->contentsMargins();
        around += own.left() + own.right();
        if (const QLayout* layout = widget->layout()) {
            const QMargins margins = layout->contentsMargins();
            around += margins.left() + margins.right();
        }
        if (widget == window)
            break;
    }
    return around;
}

}  // namespace

BoxDialogBase::BoxDialogBase(QWidget* owner, const QString& text, QStringList fileNames)
    : m_owner(owner), m_text(text), m_fileNames(std::move(fileNames))
{
}

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
    showText();
    if (m_msgConfirm)
        m_msgConfirm->setFocus();
}

void BoxDialogBase::showText()
{
    if (!m_msgText)
        return;
    // Measured with the style sheet's font, before the box is first laid out.
    m_msgText->ensurePolished();
    const QFontMetrics metrics = m_msgText->fontMetrics();
    const QRect screen = (m_owner ? m_owner->screen() : this->screen())->availableGeometry();
    const int around = MarginsAround(m_msgText, this);
    const int widest = std::max(width() - around, std::min(kMaxTextWidth, screen.width() * 4 / 5 - around));

    QStringList lines = m_text.split(QLatin1Char('\n'));
    bool cut = false;
    for (const QString& name : m_fileNames) {
        const QString shown = metrics.elidedText(name, Qt::ElideMiddle, widest);
        cut = cut || shown != name;
        lines << shown;
    }
    const QString shownText = lines.join(QLatin1Char('\n'));
    m_msgText->setText(shownText);
    m_msgText->setToolTip(cut ? m_fileNames.join(QLatin1Char('\n')) : QString());
    m_msgText->setAlignment(lines.size() > 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);

    int needed = 0;
    for (const QString& line : lines)
        needed = std::max(needed, metrics.horizontalAdvance(line));
    const int boxWidth = std::clamp(needed + around + 2, width(), std::max(width(), widest + around));
    const int highest = std::max(height(), screen.height() * 4 / 5);
    const int boxHeight =
        layout() && layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(boxWidth) : height();
    resize(boxWidth, std::clamp(boxHeight, height(), highest));
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
