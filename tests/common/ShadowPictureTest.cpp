// The drop shadow's picture and the limits of its settings, without a display.

#include "ui/common/ShadowPicture.h"
#include "ui/common/WndShadow.h"

#include <gtest/gtest.h>

#include <QRegion>

#include <vector>

namespace tolvex {
namespace {

ShadowSettings BoxSettings(int size = 4, int x = 0, int y = 0)
{
    ShadowSettings s;
    s.size = static_cast<int8_t>(size);
    s.xOffset = static_cast<int8_t>(x);
    s.yOffset = static_cast<int8_t>(y);
    s.colour = qRgb(0x9E, 0x9D, 0x9D);
    return s;
}

int AlphaAt(const QImage& image, int x, int y)
{
    return qAlpha(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
}

// Alphas of one picture row from column `from` to `to` (exclusive).
std::vector<int> RowAlphas(const QImage& image, int y, int from, int to)
{
    std::vector<int> alphas;
    for (int x = from; x < to; ++x)
        alphas.push_back(AlphaAt(image, x, y));
    return alphas;
}

// Fails for every picture pixel that lies over a covered pixel of the parent's shape.
void ExpectNothingUnderParent(const QImage& picture, const QRegion& shape, const ShadowSettings& s)
{
    const QPoint pictureToParent(s.xOffset - s.size, s.yOffset - s.size);
    int checked = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QPoint onParent = QPoint(x, y) + pictureToParent;
            if (!shape.contains(onParent))
                continue;
            ++checked;
            ASSERT_EQ(AlphaAt(picture, x, y), 0) << "picture pixel " << x << "," << y << " is over the parent";
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(ShadowPicture, GrowsTheParentBySizeOnEverySide)
{
    const QImage grown = ComputeShadowPicture(QRegion(0, 0, 120, 60), QSize(120, 60), BoxSettings(4));
    EXPECT_EQ(grown.size(), QSize(128, 68));
    EXPECT_EQ(grown.format(), QImage::Format_ARGB32_Premultiplied);

    const QImage shrunk = ComputeShadowPicture(QRegion(0, 0, 120, 60), QSize(120, 60), BoxSettings(-3));
    EXPECT_EQ(shrunk.size(), QSize(114, 54));

    // A parent no bigger than twice a negative size leaves nothing to draw.
    EXPECT_TRUE(ComputeShadowPicture(QRegion(0, 0, 30, 30), QSize(30, 30), BoxSettings(-20)).isNull());
    EXPECT_TRUE(ComputeShadowPicture(QRegion(), QSize(0, 10), BoxSettings(4)).isNull());
}

TEST(ShadowPicture, FourPixelShadowIsOnlyVisibleOutsideTheParent)
{
    const QRegion shape(0, 0, 120, 60);
    const ShadowSettings s = BoxSettings(4);
    const QImage picture = ComputeShadowPicture(shape, QSize(120, 60), s);
    ExpectNothingUnderParent(picture, shape, s);

    // Every side carries shadow right up to the parent: the four pixels beside the middle of
    // each edge are all visible.
    for (int d = 0; d < 4; ++d) {
        EXPECT_GT(AlphaAt(picture, d, 34), 0) << d;
        EXPECT_GT(AlphaAt(picture, 127 - d, 34), 0) << d;
        EXPECT_GT(AlphaAt(picture, 64, d), 0) << d;
        EXPECT_GT(AlphaAt(picture, 64, 67 - d), 0) << d;
    }
}

TEST(ShadowPicture, NothingUnderTheParentForOffsetsAndShapes)
{
    // A rounded shape: rows of differing extent, rows with gaps at the corners.
    QRegion rounded = QRegion(0, 0, 90, 70, QRegion::Ellipse);
    const QRegion rect(0, 0, 90, 70);
    for (const QRegion& shape : {rect, rounded}) {
        for (int size : {0, 4, 12, -2}) {
            for (QPoint offset : {QPoint(0, 0), QPoint(5, 5), QPoint(-7, 3), QPoint(20, -20)}) {
                const ShadowSettings s = BoxSettings(size, offset.x(), offset.y());
                SCOPED_TRACE(testing::Message() << "size " << size << " offset " << offset.x() << "," << offset.y());
                ExpectNothingUnderParent(ComputeShadowPicture(shape, QSize(90, 70), s), shape, s);
            }
        }
    }
}

TEST(ShadowPicture, SoftEdgeFallsOffOverSharpnessPixels)
{
    // Size 10 with sharpness 5: a flat band of full darkness next to the parent, then five
    // pixels fading towards the outer edge by darkness / (sharpness + 1) each (the outermost
    // is truncated from 24.99...).
    const ShadowSettings s = BoxSettings(10);
    const QImage picture = ComputeShadowPicture(QRegion(0, 0, 100, 80), QSize(100, 80), s);
    const int middle = picture.height() / 2;
    const std::vector<int> left = RowAlphas(picture, middle, 0, 11);
    EXPECT_EQ(left, (std::vector<int>{24, 50, 75, 100, 125, 150, 150, 150, 150, 150, 0}));

    // Size 4, the boxes' shadow: the whole visible band is soft edge, darkest next to the
    // parent, falling by darkness / (sharpness + 1) per pixel.
    const QImage box = ComputeShadowPicture(QRegion(0, 0, 100, 80), QSize(100, 80), BoxSettings(4));
    const int boxMiddle = box.height() / 2;
    EXPECT_EQ(RowAlphas(box, boxMiddle, 0, 5), (std::vector<int>{24, 50, 75, 100, 0}));
    const int w = box.width();
    EXPECT_EQ(RowAlphas(box, boxMiddle, w - 5, w), (std::vector<int>{0, 100, 75, 50, 24}));

    // Corners are rounded: the picture's corner pixel lies beyond the kernel's reach.
    EXPECT_EQ(AlphaAt(box, 0, 0), 0);
    EXPECT_EQ(AlphaAt(box, w - 1, box.height() - 1), 0);
}

TEST(ShadowPicture, CentredShadowIsSymmetric)
{
    const QImage picture = ComputeShadowPicture(QRegion(0, 0, 73, 41), QSize(73, 41), BoxSettings(4));
    EXPECT_EQ(picture, picture.mirrored(true, false));
    EXPECT_EQ(picture, picture.mirrored(false, true));
}

TEST(ShadowPicture, OffsetShadowShowsFullDarknessBesideTheParent)
{
    // Offset (5, 5) with size 4: beside the parent's right edge and under its bottom edge the
    // flat middle of the shadow shows at full darkness, in the premultiplied shadow colour.
    const ShadowSettings s = BoxSettings(4, 5, 5);
    const QImage picture = ComputeShadowPicture(QRegion(0, 0, 100, 80), QSize(100, 80), s);
    const uint32_t full = PremultipliedShadowPixel(s.colour, s.darkness);
    // The parent's right edge lies at picture column 100 - 1 (parent column 100 + size - x offset).
    const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(40));
    EXPECT_EQ(qAlpha(line[98]), 0);
    EXPECT_EQ(line[99], full);
    EXPECT_EQ(line[102], full);
    EXPECT_LT(qAlpha(line[103]), 150);
    // Nothing shows to the parent's left, where the shadow lies under it.
    EXPECT_EQ(qAlpha(line[0]), 0);
}

TEST(ShadowPicture, PixelsArePremultipliedWithBlueLowest)
{
    EXPECT_EQ(PremultipliedShadowPixel(qRgb(0x9E, 0x9D, 0x9D), 255), 0xFF9E9D9Du);
    EXPECT_EQ(PremultipliedShadowPixel(qRgb(0x9E, 0x9D, 0x9D), 150),
              (150u << 24) | (0x5Cu << 16) | (0x5Cu << 8) | 0x5Cu);
    EXPECT_EQ(PremultipliedShadowPixel(qRgb(0x00, 0x00, 0xFF), 100), (100u << 24) | 100u);
    EXPECT_EQ(PremultipliedShadowPixel(qRgb(0x12, 0x34, 0x56), 0), 0u);

    // Every pixel of a picture is a valid premultiplied pixel of the shadow colour.
    const ShadowSettings s = BoxSettings(6, 2, 2);
    const QImage picture = ComputeShadowPicture(QRegion(0, 0, 50, 50), QSize(50, 50), s);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(line[x], PremultipliedShadowPixel(s.colour, qAlpha(line[x]))) << x << "," << y;
    }
}

TEST(ShadowPicture, RowScanFollowsTheShape)
{
    // An L: two rows cover the full width, the rest only the left ten columns; one row lies
    // outside the window and one rectangle reaches past its right edge.
    QRegion shape = QRegion(0, 0, 10, 6) + QRegion(0, 2, 40, 2) + QRegion(0, -3, 5, 2) + QRegion(30, 5, 50, 1);
    const std::vector<RowAnchors> rows = ScanShapeRows(shape, QSize(32, 7));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].start, 0);
    EXPECT_EQ(rows[0].end, 10);
    EXPECT_EQ(rows[2].end, 32);
    EXPECT_EQ(rows[3].end, 32);
    EXPECT_EQ(rows[4].end, 10);
    EXPECT_EQ(rows[5].end, 32);
    // An uncovered row is (width, 0).
    EXPECT_EQ(rows[6].start, 32);
    EXPECT_EQ(rows[6].end, 0);
}

TEST(ShadowPicture, SmallOrIncompleteParentsStayInsideThePicture)
{
    // Shapes much smaller than the soft edge, rows missing from the list, extreme settings:
    // the picture keeps its size and nothing is written outside it (checked by sanitizers).
    for (int size : {-20, -5, 0, 1, 20}) {
        for (int offset : {-20, 0, 20}) {
            ShadowSettings s = BoxSettings(size, offset, -offset);
            s.sharpness = 20;
            for (QSize parent : {QSize(1, 1), QSize(3, 50), QSize(41, 41)}) {
                const QImage picture = ComputeShadowPicture(QRegion(QRect(QPoint(0, 0), parent)), parent, s);
                if (parent.width() + 2 * size > 0 && parent.height() + 2 * size > 0)
                    EXPECT_EQ(picture.size(), parent + QSize(2 * size, 2 * size));
                else
                    EXPECT_TRUE(picture.isNull());
            }
        }
    }
    const std::vector<RowAnchors> oneRow{RowAnchors{0, 10}};
    EXPECT_EQ(ComputeShadowPicture(oneRow, QSize(10, 10), BoxSettings(4)).size(), QSize(18, 18));
}

TEST(WndShadowSettings, SizeAndOffsetOutsideTwentyAreRefused)
{
    CWndShadow shadow;
    EXPECT_TRUE(shadow.SetShadowSize(4));
    EXPECT_TRUE(shadow.SetShadowOffset(0, 0));
    EXPECT_FALSE(shadow.SetShadowSize(21));
    EXPECT_FALSE(shadow.SetShadowSize(-21));
    EXPECT_FALSE(shadow.SetShadowOffset(0, -21));
    EXPECT_FALSE(shadow.SetShadowOffset(21, 0));
    EXPECT_EQ(shadow.settings().size, 4);
    EXPECT_EQ(shadow.settings().xOffset, 0);
    EXPECT_EQ(shadow.settings().yOffset, 0);

    EXPECT_TRUE(shadow.SetShadowSize(-20));
    EXPECT_TRUE(shadow.SetShadowOffset(20, -20));
    EXPECT_EQ(shadow.settings().size, -20);
    EXPECT_EQ(shadow.settings().xOffset, 20);
    EXPECT_EQ(shadow.settings().yOffset, -20);

    // The defaults: darkness 150, sharpness 5, offset (5, 5), black.
    CWndShadow fresh;
    EXPECT_EQ(fresh.settings().darkness, 150);
    EXPECT_EQ(fresh.settings().sharpness, 5);
    EXPECT_EQ(fresh.settings().xOffset, 5);
    EXPECT_EQ(fresh.settings().colour, qRgb(0, 0, 0));
    EXPECT_EQ(fresh.status(), 0);
}

TEST(WndShadowSettings, AttachWithoutRegistrationDoesNothing)
{
    // No application and no registration: shadows are disabled and the parent is untouched.
    EXPECT_FALSE(CWndShadow::RegisterShadowClass());
    CWndShadow shadow;
    shadow.AttachShadow(nullptr);
    EXPECT_EQ(shadow.status(), 0);
    EXPECT_EQ(shadow.shadowWindow(), nullptr);
}

}  // namespace
}  // namespace tolvex
