#include "ui/common/WndShadow.h"

#include "ui/common/Compositing.h"
#include "ui/common/ShadowWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>

#include <atomic>

namespace tolvex {

namespace {

std::atomic<bool> g_shadowsEnabled{false};

bool InShiftRange(int value)
{
    return value >= CWndShadow::kMinShift && value <= CWndShadow::kMaxShift;
}

}  // namespace

CWndShadow::CWndShadow() = default;

CWndShadow::~CWndShadow()
{
    detach();
}

bool CWndShadow::RegisterShadowClass()
{
    if (g_shadowsEnabled.load() || !qGuiApp)
        return false;
    g_shadowsEnabled.store(true);
    return true;
}

bool CWndShadow::shadowClassRegistered()
{
    return g_shadowsEnabled.load();
}

ShadowWindow* CWndShadow::shadowWindow() const
{
    return m_shadow.data();
}

void CWndShadow::AttachShadow(QWidget* parent)
{
    if (!g_shadowsEnabled.load() || !parent || !IsCompositingActive())
        return;
    detach();

    m_parent = parent;
    m_shadow = new ShadowWindow(parent);
    m_lastSize = QSize(0, 0);
    m_updatePending = false;

    if (!parent->isVisible()) {
        m_status = kEnabled;
    } else if (parentIsMaxOrMin()) {
        m_status = kEnabled | kParentVisible;
    } else {
        m_status = kEnabled | kShadowVisible | kParentVisible;
        redraw();
        m_shadow->show();
    }
    parent->installEventFilter(this);
}

void CWndShadow::detach()
{
    if (m_parent)
        m_parent->removeEventFilter(this);
    // The shadow window is a child of the parent; when the parent went first it went with it.
    delete m_shadow.data();
    m_shadow = nullptr;
    m_parent = nullptr;
    m_status = 0;
}

bool CWndShadow::SetShadowSize(int size)
{
    if (!InShiftRange(size))
        return false;
    m_settings.size = static_cast<int8_t>(size);
    if (m_status & kShadowVisible)
        redraw();
    return true;
}

bool CWndShadow::SetShadowOffset(int x, int y)
{
    if (!InShiftRange(x) || !InShiftRange(y))
        return false;
    m_settings.xOffset = static_cast<int8_t>(x);
    m_settings.yOffset = static_cast<int8_t>(y);
    if (m_status & kShadowVisible)
        redraw();
    return true;
}

bool CWndShadow::SetShadowColour(QRgb colour)
{
    m_settings.colour = qRgb(qRed(colour), qGreen(colour), qBlue(colour));
    if (m_status & kShadowVisible)
        redraw();
    return true;
}

QPoint CWndShadow::shadowTopLeft() const
{
    const QPoint parentTopLeft = m_parent->geometry().topLeft();
    return parentTopLeft + QPoint(m_settings.xOffset - m_settings.size, m_settings.yOffset - m_settings.size);
}

bool CWndShadow::parentIsMaxOrMin() const
{
    return m_parent && (m_parent->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

void CWndShadow::redraw()
{
    if (!m_parent || !m_shadow)
        return;
    // A window without a shape of its own is its rectangle.
    QRegion shape = m_parent->mask();
    if (shape.isEmpty())
        shape = QRegion(m_parent->rect());
    const QImage picture = ComputeShadowPicture(shape, m_parent->size(), m_settings);
    m_shadow->setPicture(picture, shadowTopLeft());
}

void CWndShadow::showShadow()
{
    if (m_shadow && !m_shadow->isVisible())
        m_shadow->show();
    m_status |= kShadowVisible;
}

void CWndShadow::hideShadow()
{
    if (m_shadow)
        m_shadow->hide();
    m_status &= static_cast<uint8_t>(~kShadowVisible);
}

void CWndShadow::onParentResized(const QSize& newSize)
{
    if (!(m_status & kEnabled))
        return;
    if (parentIsMaxOrMin()) {
        hideShadow();
    } else if (m_parent->isVisible()) {
        if (!(m_status & kShadowVisible)) {
            // Back from maximised or minimised: draw before showing.
            redraw();
            m_updatePending = false;
            showShadow();
        } else if (newSize.width() > m_lastSize.width() || newSize.height() > m_lastSize.height()) {
            // Growing waits for the parent's next paint, so a window resized step by step is
            // not redrawn on every step.
            m_updatePending = true;
        } else {
            // Shrinking shows at once what the parent no longer covers.
            redraw();
        }
    }
    m_lastSize = newSize;
}

void CWndShadow::onParentStateChanged()
{
    if (!(m_status & kEnabled))
        return;
    // Maximising or minimising without a size change reaches us only as a state change.
    if (parentIsMaxOrMin()) {
        hideShadow();
    } else if (m_parent->isVisible() && !(m_status & kShadowVisible)) {
        redraw();
        showShadow();
    }
}

bool CWndShadow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_parent.data() || !m_shadow)
        return false;
    switch (event->type()) {
    case QEvent::Move:
        if (m_status & kShadowVisible)
            m_shadow->move(shadowTopLeft());
        break;
    case QEvent::Resize:
        onParentResized(static_cast<QResizeEvent*>(event)->size());
        break;
    case QEvent::WindowStateChange:
        onParentStateChanged();
        break;
    case QEvent::Paint:
        if (m_updatePending) {
            redraw();
            m_updatePending = false;
        }
        break;
    case QEvent::Show:
        if ((m_status & kEnabled) && !(m_status & kParentVisible)) {
            m_status |= kParentVisible;
            if (!parentIsMaxOrMin()) {
                // Drawn now rather than at the next paint: the shadow never shows a stale
                // picture at a stale place.
                redraw();
                showShadow();
            }
        }
        break;
    case QEvent::Hide:
        if (m_status & kEnabled) {
            hideShadow();
            m_status &= static_cast<uint8_t>(~kParentVisible);
        }
        break;
    default:
        break;
    }
    return false;
}

}  // namespace tolvex
