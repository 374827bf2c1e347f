#include "ui/clip/CropEditor.h"

#include <QPainter>

#include <glog/logging.h>

#include <algorithm>

namespace tolvex {

namespace {

constexpr QRgb kTint = qRgb(0x3E, 0x9A, 0xFF);
constexpr int kTintAlpha = 100;
constexpr QRgb kClearWindow = qRgb(0xA2, 0x9A, 0xFF);
constexpr QRgb kFrame = qRgb(0xFF, 0x00, 0x00);
constexpr QRgb kHatch = qRgb(0xB8, 0xD8, 0xFF);
constexpr int kHatchSpacing = 14;

// True when lo < v < hi.
bool Between(int v, int lo, int hi)
{
    return v > lo && v < hi;
}

int Truncated(float value)
{
    return static_cast<int>(value);
}

// Each field grown by its share of the change: value * f + value, truncated (f is the
// relative change of the width for x and width, of the height for y and height).
CropRect GrownRect(const CropRect& rect, float fx, float fy)
{
    CropRect r;
    r.x = Truncated(rect.x * fx + rect.x);
    r.width = Truncated(rect.width * fx + rect.width);
    r.y = Truncated(rect.y * fy + rect.y);
    r.height = Truncated(rect.height * fy + rect.height);
    return r;
}

// A transparent picture of the area's size; null for an empty area.
QImage ClearAreaImage(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The rectangle's red frame, 2 pixels wide inside its edges.
void PaintFrame(QPainter& painter, const CropRect& r, const QColor& red)
{
    painter.fillRect(QRect(r.x, r.y, 2, r.height), red);
    painter.fillRect(QRect(r.x + r.width - 2, r.y, 2, r.height), red);
    painter.fillRect(QRect(r.x, r.y, r.width, 2), red);
    painter.fillRect(QRect(r.x, r.y + r.height - 2, r.width, 2), red);
}

}  // namespace

CropEditor::Cursor CropEditor::cursorOf(DragMode mode)
{
    switch (mode) {
    case TopEdge:
    case BottomEdge:
        return Cursor::SizeVertical;
    case LeftEdge:
    case RightEdge:
        return Cursor::SizeHorizontal;
    case TopLeft:
    case BottomRight:
        return Cursor::SizeDiagonal;
    case TopRight:
    case BottomLeft:
        return Cursor::SizeAntiDiagonal;
    case Move:
        return Cursor::SizeAll;
    case None:
        break;
    }
    return Cursor::Arrow;
}

CropEditor::Zone CropEditor::hitTest(const CropRect& r, int x, int y)
{
    const int g = kGrab;
    const int right = r.x + r.width;
    const int bottom = r.y + r.height;
    const bool alongX = Between(x, r.x + g, right - g);
    const bool alongY = Between(y, r.y + g, bottom - g);
    const bool atLeft = Between(x, r.x - g, r.x + g);
    const bool atRight = Between(x, right - g, right + g);
    const bool atTop = Between(y, r.y - g, r.y + g);
    const bool atBottom = Between(y, bottom - g, bottom + g);

    if (alongX && atTop)
        return {TopEdge, Cursor::SizeVertical, "命中上边框"};
    if (alongX && atBottom)
        return {BottomEdge, Cursor::SizeVertical, "命中下边框"};
    if (atLeft && alongY)
        return {LeftEdge, Cursor::SizeHorizontal, "命中左边框"};
    if (atRight && alongY)
        return {RightEdge, Cursor::SizeHorizontal, "命中右边框"};
    if (atLeft && atTop)
        return {TopLeft, Cursor::SizeDiagonal, "命中左上角"};
    if (atRight && atBottom)
        return {BottomRight, Cursor::SizeDiagonal, "命中右下角"};
    if (atLeft && atBottom)
        return {BottomLeft, Cursor::SizeAntiDiagonal, "命中左下角"};
    if (atRight && atTop)
        return {TopRight, Cursor::SizeAntiDiagonal, "命中右上角"};
    if (alongX && alongY)
        return {Move, Cursor::SizeAll, nullptr};
    return {};
}

void CropEditor::Press(int x, int y)
{
    m_lastX = x;
    m_lastY = y;
    m_buttonDown = true;
    m_pressZone = hitTest(m_roi, x, y).mode;
    m_pressRect = m_roi;
}

void CropEditor::Release()
{
    m_dragging = false;
    m_buttonDown = false;
    m_pressZone = None;
    m_dragMode = None;
    m_lastX = 0;
    m_lastY = 0;
}

CropEditor::Cursor CropEditor::MouseMove(int x, int y)
{
    if (m_dragging) {
        dragStep(x, y);
        return cursorOf(m_dragMode);
    }
    if (m_buttonDown) {
        // The first move after the press starts the drag of the zone the button went down
        // in (a fast hand may already be a few pixels away); a press outside every zone
        // stays idle until release, even when the pointer then crosses the rectangle.
        const DragMode mode = m_pressZone;
        m_pressZone = None;
        if (mode == None)
            return Cursor::Arrow;
        m_dragging = true;
        m_dragMode = mode;
        return cursorOf(mode);
    }
    const Zone zone = hitTest(m_roi, x, y);
    if (zone.line)
        VLOG(2) << zone.line;
    return zone.cursor;
}

void CropEditor::dragStep(int x, int y)
{
    CropRect& r = m_roi;
    const CropRect& p = m_pressRect;
    const bool testsX = m_dragMode != TopEdge && m_dragMode != BottomEdge;
    const bool testsY = m_dragMode != LeftEdge && m_dragMode != RightEdge;
    if ((testsX && outsideX(x)) || (testsY && outsideY(y)))
        return;

    // Each moving edge follows the pointer's travel since the press (edges) or since the
    // last step (corners, move), and stops where the rectangle would get narrower or lower
    // than the minimum: an edge dragged across the opposite one never turns the rectangle
    // inside out.
    auto moveLeft = [&](int wantedX) {
        const int right = r.x + r.width;
        const int left = std::clamp(wantedX, 0, std::max(0, right - kMinSize));
        r.width = right - left;
        r.x = left;
    };
    auto moveTop = [&](int wantedY) {
        const int bottom = r.y + r.height;
        const int top = std::clamp(wantedY, 0, std::max(0, bottom - kMinSize));
        r.height = bottom - top;
        r.y = top;
    };
    auto moveRight = [&](int wantedRight) { r.width = std::max(kMinSize, std::min(wantedRight, m_areaWidth) - r.x); };
    auto moveBottom = [&](int wantedBottom) {
        r.height = std::max(kMinSize, std::min(wantedBottom, m_areaHeight) - r.y);
    };

    const int dx = x - m_lastX;
    const int dy = y - m_lastY;
    switch (m_dragMode) {
    case TopEdge:
        moveTop(p.y + y - m_lastY);
        break;
    case BottomEdge:
        moveBottom(p.y + p.height + y - m_lastY);
        break;
    case LeftEdge:
        VLOG(2) << "roiRect.Width: " << r.width << " roiRect.X: " << r.x << " point.x: " << x;
        moveLeft(p.x + x - m_lastX);
        break;
    case RightEdge:
        moveRight(p.x + p.width + x - m_lastX);
        break;
    case TopLeft:
        moveLeft(r.x + dx);
        moveTop(r.y + dy);
        break;
    case TopRight:
        moveRight(r.x + r.width + dx);
        moveTop(r.y + dy);
        break;
    case BottomLeft:
        moveLeft(r.x + dx);
        moveBottom(r.y + r.height + dy);
        break;
    case BottomRight:
        moveRight(r.x + r.width + dx);
        moveBottom(r.y + r.height + dy);
        break;
    case Move:
        r.x = std::max(0, r.x + dx);
        r.y = std::max(0, r.y + dy);
        if (r.x + r.width > m_areaWidth)
            r.x = std::max(0, m_areaWidth - r.width);
        if (r.y + r.height > m_areaHeight)
            r.y = std::max(0, m_areaHeight - r.height);
        break;
    case None:
        break;
    }
    if (m_dragMode >= TopLeft) {
        m_lastX = x;
        m_lastY = y;
    }
}

void CropEditor::SetAreaWidth(int screenX, int screenY, int width)
{
    m_screenX = screenX;
    m_screenY = screenY;
    m_areaWidth = width;
    placeInitialRect();
}

void CropEditor::SetAreaHeight(int screenX, int screenY, int height)
{
    m_screenX = screenX;
    m_screenY = screenY;
    m_areaHeight = height;
    placeInitialRect();
}

void CropEditor::placeInitialRect()
{
    if (m_roi.width > 0 && m_roi.height > 0)
        return;
    const int w = m_areaWidth;
    const int h = m_areaHeight;
    m_roi = {(w - w / 2) / 2, (h - h / 2) / 2, w / 2, h / 2};
}

CropRect CropEditor::Rescale(const CropRect& saved, int oldWidth, int oldHeight, int newWidth, int newHeight)
{
    if (oldWidth <= 0 || oldHeight <= 0)
        return saved;
    const float fx = static_cast<float>(newWidth - oldWidth) / static_cast<float>(oldWidth);
    const float fy = static_cast<float>(newHeight - oldHeight) / static_cast<float>(oldHeight);
    return GrownRect(saved, fx, fy);
}

CropRect CropEditor::ToVideoPixels(int videoWidth, int videoHeight) const
{
    if (videoWidth <= 0 || videoHeight <= 0)
        return {};
    CropRect v{0, 0, videoWidth, videoHeight};
    if (m_areaWidth > 0 && m_areaHeight > 0) {
        const float fx = static_cast<float>(videoWidth - m_areaWidth) / static_cast<float>(m_areaWidth);
        const float fy = static_cast<float>(videoHeight - m_areaHeight) / static_cast<float>(m_areaHeight);
        v = GrownRect(m_roi, fx, fy);
    }
    // Into the picture, then down to even sizes of at least 2 pixels.
    const int evenWidth = videoWidth & ~1;
    const int evenHeight = videoHeight & ~1;
    v.x = std::clamp(v.x, 0, videoWidth);
    v.y = std::clamp(v.y, 0, videoHeight);
    v.width = std::min(v.width, videoWidth - v.x) & ~1;
    v.height = std::min(v.height, videoHeight - v.y) & ~1;
    if (v.width < 2) {
        v.width = std::min(2, evenWidth);
        v.x = std::max(0, std::min(v.x, videoWidth - v.width));
    }
    if (v.height < 2) {
        v.height = std::min(2, evenHeight);
        v.y = std::max(0, std::min(v.y, videoHeight - v.height));
    }
    return v;
}

QImage CropEditor::Paint() const
{
    QImage image = ClearAreaImage(m_areaWidth, m_areaHeight);
    if (image.isNull())
        return image;
    const int w = image.width();
    const int h = image.height();
    QPainter painter(&image);
    QColor tint(kTint);
    tint.setAlpha(kTintAlpha);
    painter.fillRect(QRect(2, 2, w - 4, h - 4), tint);
    const CropRect& r = m_roi;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    QColor clear(kClearWindow);
    clear.setAlpha(1);
    painter.fillRect(QRect(r.x + 2, r.y + 2, r.width - 4, r.height - 4), clear);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QColor red(kFrame);
    PaintFrame(painter, r, red);
    return image;
}

QImage CropEditor::paintShaped() const
{
    QImage image = ClearAreaImage(m_areaWidth, m_areaHeight);
    if (image.isNull())
        return image;
    const int w = image.width();
    const int h = image.height();
    QPainter painter(&image);
    const CropRect& r = m_roi;
    const QRect window(r.x, r.y, r.width, r.height);

    // A light diagonal hatch outside the rectangle marks what the crop leaves out.
    painter.save();
    QRegion outside(QRect(2, 2, w - 4, h - 4));
    outside -= QRegion(window);
    painter.setClipRegion(outside);
    painter.setPen(QPen(QColor(kHatch), 1));
    for (int d = -h; d < w; d += kHatchSpacing)
        painter.drawLine(d, 0, d + h, h);
    painter.restore();

    const QColor red(kFrame);
    PaintFrame(painter, r, red);

    // Grips: white squares edged in red on the corners and the middles of the edges, and a
    // cross in the middle that carries the move.
    const int g = kGripSize;
    const QPoint points[] = {
        {r.x, r.y},
        {r.x + r.width, r.y},
        {r.x, r.y + r.height},
        {r.x + r.width, r.y + r.height},
        {r.x + r.width / 2, r.y},
        {r.x + r.width / 2, r.y + r.height},
        {r.x, r.y + r.height / 2},
        {r.x + r.width, r.y + r.height / 2},
    };
    for (const QPoint& p : points) {
        const QRect grip(p.x() - g / 2, p.y() - g / 2, g, g);
        painter.fillRect(grip, red);
        painter.fillRect(grip.adjusted(2, 2, -2, -2), Qt::white);
    }
    const QPoint centre(r.x + r.width / 2, r.y + r.height / 2);
    painter.fillRect(QRect(centre.x() - g, centre.y() - 2, 2 * g, 4), red);
    painter.fillRect(QRect(centre.x() - 2, centre.y() - g, 4, 2 * g), red);
    painter.fillRect(QRect(centre.x() - g + 1, centre.y() - 1, 2 * g - 2, 2), Qt::white);
    painter.fillRect(QRect(centre.x() - 1, centre.y() - g + 1, 2, 2 * g - 2), Qt::white);
    return image;
}

}  // namespace tolvex
