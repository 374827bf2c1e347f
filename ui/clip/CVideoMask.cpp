#include "ui/clip/CVideoMask.h"

#include "ui/common/Compositing.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace tolvex {

namespace {

// Mouse positions as the editor takes them: the two unsigned 16-bit halves, so a point
// left of or above the window is a large value that the area tests reject.
int Coordinate(qreal value)
{
    return static_cast<int>(static_cast<uint16_t>(static_cast<int>(value)));
}

}  // namespace

CVideoMask::CVideoMask(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("videoMask"));
    setAccessibleName(QCoreApplication::translate("CVideoMask", "裁剪区域"));
    setAccessibleDescription(QCoreApplication::translate("CVideoMask", "拖动红框的边和角调整裁剪区域，拖动框内移动它"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    m_shaped = !IsCompositingActive();
    if (!m_shaped) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    m_repaint.setInterval(kRepaintMs);
    connect(&m_repaint, &QTimer::timeout, this, [this] { repaint(); });
    m_repaint.start();
}

void CVideoMask::SetWidth(int x, int y, int width)
{
    setGeometry(x, y, width, height());
    m_editor.SetAreaWidth(x, y, width);
}

void CVideoMask::SetHeight(int x, int y, int height)
{
    setGeometry(x, y, width(), height);
    m_editor.SetAreaHeight(x, y, height);
}

void CVideoMask::repaint()
{
    if (!isVisible())
        return;
    if (refresh())
        update();
}

bool CVideoMask::refresh()
{
    // Painted again only when the rectangle or the size changed; for a shaped window the
    // new shape is a round trip to the X server.
    if (!m_picture.isNull() && m_paintedFor == m_editor.roiRect() && m_picture.size() == m_editor.areaSize())
        return false;
    m_paintedFor = m_editor.roiRect();
    m_picture = m_shaped ? m_editor.paintShaped() : m_editor.Paint();
    if (m_shaped && !m_picture.isNull())
        setMask(QBitmap::fromImage(m_picture.createAlphaMask()));
    return true;
}

void CVideoMask::paintEvent(QPaintEvent*)
{
    refresh();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_picture);
}

void CVideoMask::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_editor.Press(Coordinate(event->position().x()), Coordinate(event->position().y()));
}

void CVideoMask::mouseMoveEvent(QMouseEvent* event)
{
    const CropRect before = m_editor.roiRect();
    applyCursor(m_editor.MouseMove(Coordinate(event->position().x()), Coordinate(event->position().y())));
    if (!(before == m_editor.roiRect()))
        repaint();
}

void CVideoMask::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool dragged = m_editor.dragging();
    m_editor.Release();
    repaint();
    if (dragged)
        emit rectangleChanged();
}

void CVideoMask::applyCursor(CropEditor::Cursor cursor)
{
    switch (cursor) {
    case CropEditor::Cursor::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case CropEditor::Cursor::SizeVertical:
        setCursor(Qt::SizeVerCursor);
        break;
    case CropEditor::Cursor::SizeHorizontal:
        setCursor(Qt::SizeHorCursor);
        break;
    case CropEditor::Cursor::SizeDiagonal:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case CropEditor::Cursor::SizeAntiDiagonal:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case CropEditor::Cursor::SizeAll:
        setCursor(Qt::SizeAllCursor);
        break;
    }
}

}  // namespace tolvex
