#include "ui/clip/CVideoArea.h"

#include <QGuiApplication>
#include <QResizeEvent>

#include <cmath>

namespace tolvex {

CVideoArea::CVideoArea(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("videoArea"));
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setFocusPolicy(Qt::NoFocus);
}

std::uintptr_t CVideoArea::nativeWindowHandle() const
{
    // SDL adopts only real X11 windows; under other platform plugins (offscreen, wayland)
    // winId() is no such window.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return 0;
    return static_cast<std::uintptr_t>(winId());
}

int CVideoArea::displayWidth() const
{
    return m_displayWidth.load();
}

int CVideoArea::displayHeight() const
{
    return m_displayHeight.load();
}

void CVideoArea::SetWidth(int x, int y, int width)
{
    m_displayWidth = width;
    setGeometry(x, y, width, height());
    update();
    notifyChanged();
}

void CVideoArea::SetHeight(int x, int y, int height)
{
    m_displayHeight = height;
    setGeometry(x, y, width(), height);
    update();
    notifyChanged();
}

QPaintEngine* CVideoArea::paintEngine() const
{
    return nullptr;
}

void CVideoArea::paintEvent(QPaintEvent*)
{
    // The player's renderer draws the picture: exposed, the area asks it to.
    notifyChanged();
}

void CVideoArea::resizeEvent(QResizeEvent* event)
{
    // The player stretches its picture over the native window, which is in device pixels.
    const qreal ratio = devicePixelRatioF();
    m_displayWidth = static_cast<int>(std::lround(event->size().width() * ratio));
    m_displayHeight = static_cast<int>(std::lround(event->size().height() * ratio));
    QWidget::resizeEvent(event);
    notifyChanged();
}

}  // namespace tolvex
