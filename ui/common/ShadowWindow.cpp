#include "ui/common/ShadowWindow.h"

#include <QPaintEvent>
#include <QPainter>

namespace tolvex {

ShadowWindow::ShadowWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                         Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("VeskShadowWnd"));
}

void ShadowWindow::setPicture(const QImage& picture, const QPoint& topLeft)
{
    m_picture = picture;
    // A window cannot be empty: an empty picture keeps a 1x1 window that paints nothing.
    const QSize size = picture.isNull() ? QSize(1, 1) : picture.size();
    setGeometry(QRect(topLeft, size));
    update();
}

void ShadowWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // Replace, not blend: the picture's alpha is the window's alpha.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), Qt::transparent);
    if (!m_picture.isNull())
        painter.drawImage(QPoint(0, 0), m_picture);
}

}  // namespace tolvex
