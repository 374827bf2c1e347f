#pragma once

// The picture of a window's drop shadow, computed from the window's shape.
//
// The shadow is a soft-edged copy of the window's shape, grown by `size` pixels on every
// side and displaced by (xOffset, yOffset). Its outer edge fades out over `sharpness`
// pixels, its flat middle has the alpha `darkness`, and it is cut out wherever the window
// itself lies, so a shadow window stacked above its window never covers it.
//
// Pure functions over numbers and a QImage: no display, no windows; callable from any thread.

#include <QImage>
#include <QRegion>
#include <QRgb>
#include <QSize>

#include <cstdint>
#include <vector>

namespace tolvex {

// Appearance of one shadow. Size and offsets are kept within -20..20 by CWndShadow.
struct ShadowSettings {
    uint8_t darkness = 150;  // alpha of the darkest shadow pixel
    uint8_t sharpness = 5;   // width of the soft edge in pixels
    int8_t size = 0;         // how far the shadow reaches beyond the window on each side
    int8_t xOffset = 5;      // displacement of the shadow
    int8_t yOffset = 5;
    QRgb colour = qRgb(0, 0, 0);
};

// The covered columns of one row: [start, end). A row with start >= end covers nothing.
struct RowAnchors {
    int start = 0;
    int end = 0;
};

// Scans the rows of a window of `size` against its shape: for every row, the first covered
// column and one past the last covered column. An uncovered row is (width, 0).
std::vector<RowAnchors> ScanShapeRows(const QRegion& shape, QSize size);

// The shadow picture for a window of `parentSize` whose rows are `parentRows` (one entry per
// window row, as ScanShapeRows gives them). The picture is (width + 2*size) x (height + 2*size)
// premultiplied ARGB32 pixels; its top-left corner belongs at the window's top-left corner
// moved by (xOffset - size, yOffset - size). A null image when that size is empty.
QImage ComputeShadowPicture(const std::vector<RowAnchors>& parentRows, QSize parentSize,
                            const ShadowSettings& settings);

// The same from the window's shape.
QImage ComputeShadowPicture(const QRegion& shape, QSize parentSize, const ShadowSettings& settings);

// Premultiplies `colour` by `alpha`: alpha in the top byte, each colour channel times alpha
// divided by 255, blue in the lowest byte.
uint32_t PremultipliedShadowPixel(QRgb colour, unsigned alpha);

}  // namespace tolvex
