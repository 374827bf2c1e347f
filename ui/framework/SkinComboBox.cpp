#include "ui/framework/SkinComboBox.h"

#include <algorithm>

namespace tolvex {

namespace {

bool IsLookChange(QEvent::Type type)
{
    return type == QEvent::StyleChange || type == QEvent::FontChange || type == QEvent::PaletteChange;
}

}  // namespace

SkinComboBox::SkinComboBox(QWidget* parent) : QComboBox(parent) {}

void SkinComboBox::changeEvent(QEvent* event)
{
    if (m_holding && !m_shown && IsLookChange(event->type())) {
        // Remembered once each; the box's own size is recomputed when it is first shown.
        if (std::find(m_held.begin(), m_held.end(), event->type()) == m_held.end())
            m_held.push_back(event->type());
        QWidget::changeEvent(event);
        return;
    }
    if (m_holding && IsLookChange(event->type()))
        replayHeldChanges();
    QComboBox::changeEvent(event);
}

void SkinComboBox::showEvent(QShowEvent* event)
{
    m_shown = true;
    QComboBox::showEvent(event);
}

void SkinComboBox::showPopup()
{
    replayHeldChanges();
    QComboBox::showPopup();
}

void SkinComboBox::replayHeldChanges()
{
    if (!m_holding)
        return;
    m_holding = false;
    const std::vector<QEvent::Type> held = std::move(m_held);
    m_held.clear();
    for (const QEvent::Type type : held) {
        QEvent change(type);
        QComboBox::changeEvent(&change);
    }
}

}  // namespace tolvex
