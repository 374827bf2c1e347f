#include "ui/common/ShadowPicture.h"

#include <algorithm>
#include <cmath>

namespace tolvex {

namespace {

// Rows and columns are kept inside the picture even for shapes and settings that would
// reach past it (negative sizes, shapes wider than the window), so no write ever leaves it.
class PictureWriter {
public:
    explicit PictureWriter(QImage& image) : m_image(image), m_width(image.width()), m_height(image.height()) {}

    uint32_t* row(int i) { return reinterpret_cast<uint32_t*>(m_image.scanLine(i)); }

    // Sets columns [from, to) of row i to `pixel`.
    void fill(int i, int from, int to, uint32_t pixel)
    {
        if (i < 0 || i >= m_height)
            return;
        from = std::max(from, 0);
        to = std::min(to, m_width);
        uint32_t* line = row(i);
        for (int j = from; j < to; ++j)
            line[j] = pixel;
    }

    // Lays the (2k+1)^2 kernel centred at (x, y), keeping per pixel the larger value.
    void stamp(const std::vector<uint32_t>& kernel, int k, int x, int y)
    {
        const int side = 2 * k + 1;
        for (int dy = -k; dy <= k; ++dy) {
            const int yy = y + dy;
            if (yy < 0 || yy >= m_height)
                continue;
            uint32_t* line = row(yy);
            const uint32_t* kline = kernel.data() + static_cast<size_t>(dy + k) * side;
            for (int dx = -k; dx <= k; ++dx) {
                const int xx = x + dx;
                if (xx < 0 || xx >= m_width)
                    continue;
                line[xx] = std::max(line[xx], kline[dx + k]);
            }
        }
    }

private:
    QImage& m_image;
    int m_width;
    int m_height;
};

}  // namespace

uint32_t PremultipliedShadowPixel(QRgb colour, unsigned alpha)
{
    const uint32_t r = static_cast<uint32_t>(qRed(colour)) * alpha / 255;
    const uint32_t g = static_cast<uint32_t>(qGreen(colour)) * alpha / 255;
    const uint32_t b = static_cast<uint32_t>(qBlue(colour)) * alpha / 255;
    return (static_cast<uint32_t>(alpha) << 24) | (r << 16) | (g << 8) | b;
}

std::vector<RowAnchors> ScanShapeRows(const QRegion& shape, QSize size)
{
    const int width = std::max(size.width(), 0);
    const int height = std::max(size.height(), 0);
    std::vector<RowAnchors> rows(static_cast<size_t>(height), RowAnchors{width, 0});
    // The region is a set of rectangles; the row's first and last covered columns are the
    // extremes of the rectangles crossing it, clipped to the window.
    for (const QRect& rect : shape) {
        const int top = std::max(rect.top(), 0);
        const int bottom = std::min(rect.bottom(), height - 1);
        const int left = std::max(rect.left(), 0);
        const int right = std::min(rect.right(), width - 1);
        if (left > right)
            continue;
        for (int y = top; y <= bottom; ++y) {
            RowAnchors& row = rows[static_cast<size_t>(y)];
            if (row.start >= row.end) {
                row = RowAnchors{left, right + 1};
            } else {
                row.start = std::min(row.start, left);
                row.end = std::max(row.end, right + 1);
            }
        }
    }
    return rows;
}

QImage ComputeShadowPicture(const QRegion& shape, QSize parentSize, const ShadowSettings& settings)
{
    return ComputeShadowPicture(ScanShapeRows(shape, parentSize), parentSize, settings);
}

QImage ComputeShadowPicture(const std::vector<RowAnchors>& parentRows, QSize parentSize, const ShadowSettings& settings)
{
    const int parentWidth = parentSize.width();
    const int parentHeight = parentSize.height();
    const int size = settings.size;
    const int sharpness = settings.sharpness;
    const int xOffset = settings.xOffset;
    const int yOffset = settings.yOffset;
    const int shadowWidth = parentWidth + 2 * size;
    const int shadowHeight = parentHeight + 2 * size;
    if (parentWidth <= 0 || parentHeight <= 0 || shadowWidth <= 0 || shadowHeight <= 0)
        return {};

    QImage picture(shadowWidth, shadowHeight, QImage::Format_ARGB32_Premultiplied);
    picture.fill(0);
    PictureWriter writer(picture);

    // Work anchors: one row per row of the taller of window and shadow, plus an empty row
    // above and below so that every row has two neighbours. Window row y becomes work row
    // y + size, its columns moved by size: the window's place inside the picture.
    const int anchorRows = std::max(parentHeight, shadowHeight);
    const RowAnchors emptyRow{parentWidth, 0};
    std::vector<RowAnchors> anchors(static_cast<size_t>(anchorRows) + 2, emptyRow);
    const int knownRows = std::min<int>(parentHeight, static_cast<int>(parentRows.size()));
    for (int y = 0; y < knownRows; ++y) {
        const int workRow = y + size;
        if (workRow < 0 || workRow >= anchorRows)
            continue;
        const RowAnchors& row = parentRows[static_cast<size_t>(y)];
        if (row.start < row.end)
            anchors[static_cast<size_t>(workRow) + 1] = RowAnchors{row.start + size, row.end + size};
    }

    // Erosion: shrink the shape by (sharpness - size) so that the kernel below, which grows it
    // by max(size, sharpness), leaves it grown by exactly size.
    std::vector<RowAnchors> eroded(anchors.size(), emptyRow);
    for (int pass = 0; pass < sharpness - size; ++pass) {
        for (int j = 1; j <= anchorRows; ++j) {
            const RowAnchors& up = anchors[static_cast<size_t>(j) - 1];
            const RowAnchors& mid = anchors[static_cast<size_t>(j)];
            const RowAnchors& down = anchors[static_cast<size_t>(j) + 1];
            eroded[static_cast<size_t>(j)].start = std::max({up.start, mid.start, down.start}) + 1;
            eroded[static_cast<size_t>(j)].end = std::min({up.end, mid.end, down.end}) - 1;
        }
        anchors.swap(eroded);
    }

    // Kernel: full darkness within the centre c, fading over sharpness + 1 steps to the rim k.
    const int k = std::max(size, sharpness);
    const int centre = size > sharpness ? size - sharpness : 0;
    const uint32_t fullDark = PremultipliedShadowPixel(settings.colour, settings.darkness);
    const int side = 2 * k + 1;
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            const double dy = i - k;
            const double dx = j - k;
            const double distance = std::sqrt(dx * dx + dy * dy);
            uint32_t value = 0;
            if (distance < centre) {
                value = fullDark;
            } else if (distance <= k) {
                const double factor = (1.0 - (distance - centre) / (sharpness + 1)) * settings.darkness;
                value = PremultipliedShadowPixel(settings.colour, static_cast<unsigned>(std::max(factor, 0.0)));
            }
            kernel[static_cast<size_t>(i) * side + j] = value;
        }
    }

    // Work row r (anchors[r + 1]) is picture row r from here on.
    auto work = [&anchors](int r) -> const RowAnchors& { return anchors[static_cast<size_t>(r) + 1]; };

    // Dilation: stamp the kernel along each row's soft edges, the columns that are not also
    // covered by both neighbouring rows; the inside is filled flat below.
    for (int i = k; i < shadowHeight - k; ++i) {
        const RowAnchors& row = work(i);
        if (row.start >= row.end)
            continue;
        const RowAnchors& up = work(i - 1);
        const RowAnchors& down = work(i + 1);
        int j = row.start;
        for (; j < std::min(std::max(up.start, down.start) + 1, row.end); ++j)
            writer.stamp(kernel, k, j, i);
        for (j = std::max(j, std::min(up.end, down.end) - 1); j < row.end; ++j)
            writer.stamp(kernel, k, j, i);
    }

    // Fill the flat middle with full darkness and cut the window itself out.
    const int fillFrom = std::min(k, std::max(size - yOffset, 0));
    const int fillTo = std::max(shadowHeight - k, std::min(parentHeight + size - yOffset, parentHeight + 2 * size));
    for (int i = fillFrom; i < fillTo; ++i) {
        const RowAnchors& row = work(i);
        const int p = i - size + yOffset;
        if (p < 0 || p >= parentHeight || p >= knownRows) {
            writer.fill(i, row.start, row.end, fullDark);
            continue;
        }
        const RowAnchors& parentRow = parentRows[static_cast<size_t>(p)];
        const int parentStart = parentRow.start + size - xOffset;
        const int parentEnd = parentRow.end + size - xOffset;
        writer.fill(i, row.start, std::min(parentStart, row.end), fullDark);
        writer.fill(i, std::max(parentStart, 0), std::min(parentEnd, shadowWidth), 0);
        writer.fill(i, std::max(parentEnd, row.start), row.end, fullDark);
    }
    return picture;
}

}  // namespace tolvex
