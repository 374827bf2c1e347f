#include "ui/clip/CropEditor.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

CropEditor EditorOf(int width, int height)
{
    CropEditor editor;
    editor.SetAreaWidth(10, 20, width);
    editor.SetAreaHeight(10, 20, height);
    return editor;
}

// Press at `from`, one move to start the drag, then moves along to `to`, release.
void Drag(CropEditor& editor, QPoint from, QPoint to, int steps = 4)
{
    editor.Press(from.x(), from.y());
    editor.MouseMove(from.x(), from.y());
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        editor.MouseMove(p.x(), p.y());
    }
    editor.Release();
}

TEST(CropEditorTest, StartsCentredAtHalfSizeOnceBothSidesAreKnown)
{
    CropEditor editor;
    editor.SetAreaWidth(5, 6, 600);
    EXPECT_EQ(editor.roiRect().width, 300);
    EXPECT_EQ(editor.roiRect().height, 0);
    editor.SetAreaHeight(5, 6, 400);
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 300, 200}));
    EXPECT_EQ(editor.screenX(), 5);
    // A later size change keeps a rectangle that has a size.
    editor.SetAreaWidth(7, 8, 800);
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 300, 200}));
    // Odd sizes: integer halves.
    EXPECT_EQ(EditorOf(601, 401).roiRect(), (CropRect{150, 100, 300, 200}));
}

TEST(CropEditorTest, ZonesAreTriedInOrderWithStrictBounds)
{
    const CropRect r{100, 100, 200, 100};  // right 300, bottom 200
    struct Case {
        int x, y;
        CropEditor::DragMode mode;
    } cases[] = {
        {200, 100, CropEditor::TopEdge},
        {200, 96, CropEditor::TopEdge},
        {200, 95, CropEditor::None},
        {104, 100, CropEditor::TopLeft},
        {106, 100, CropEditor::TopEdge},
        {200, 204, CropEditor::BottomEdge},
        {100, 150, CropEditor::LeftEdge},
        {304, 150, CropEditor::RightEdge},
        {96, 96, CropEditor::TopLeft},
        {304, 204, CropEditor::BottomRight},
        {96, 204, CropEditor::BottomLeft},
        {304, 96, CropEditor::TopRight},
        {200, 150, CropEditor::Move},
        {106, 106, CropEditor::Move},
        {105, 150, CropEditor::None},
        {50, 50, CropEditor::None},
        // Positions left of or above the overlay arrive as large unsigned values.
        {65535, 150, CropEditor::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CropEditor::hitTest(r, c.x, c.y).mode, c.mode) << c.x << "," << c.y;
    EXPECT_STREQ(CropEditor::hitTest(r, 300, 200).line, "命中右下角");
    EXPECT_EQ(CropEditor::hitTest(r, 300, 200).cursor, CropEditor::Cursor::SizeDiagonal);
    EXPECT_EQ(CropEditor::hitTest(r, 200, 150).line, nullptr);
}

TEST(CropEditorTest, PressAndTheFirstMoveChangeNothing)
{
    CropEditor editor = EditorOf(600, 400);
    const CropRect before = editor.roiRect();
    editor.Press(450, 300);
    EXPECT_EQ(editor.roiRect(), before);
    EXPECT_FALSE(editor.dragging());
    editor.MouseMove(450, 300);
    EXPECT_TRUE(editor.dragging());
    EXPECT_EQ(editor.dragMode(), CropEditor::BottomRight);
    EXPECT_EQ(editor.roiRect(), before);
    editor.Release();
    EXPECT_FALSE(editor.dragging());
    EXPECT_FALSE(editor.buttonDown());
    EXPECT_EQ(editor.dragMode(), CropEditor::None);
    // A hover without the button only answers the cursor.
    EXPECT_EQ(editor.MouseMove(450, 300), CropEditor::Cursor::SizeDiagonal);
    EXPECT_FALSE(editor.dragging());
    // The zone is the one the button went down in, even when the first move is further.
    editor.Press(450, 300);
    editor.MouseMove(470, 320);
    EXPECT_EQ(editor.dragMode(), CropEditor::BottomRight);
    EXPECT_EQ(editor.roiRect(), before);
    editor.Release();
    // A press outside every zone never starts a drag.
    editor.Press(20, 20);
    editor.MouseMove(20, 20);
    editor.MouseMove(300, 200);
    EXPECT_FALSE(editor.dragging());
    EXPECT_EQ(editor.roiRect(), before);
}

TEST(CropEditorTest, CornersAndEdgesResize)
{
    CropEditor editor = EditorOf(600, 400);  // (150, 100, 300, 200)
    Drag(editor, {450, 300}, {500, 340});
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 350, 240}));
    Drag(editor, {150, 100}, {120, 80});
    EXPECT_EQ(editor.roiRect(), (CropRect{120, 80, 380, 260}));
    Drag(editor, {300, 80}, {300, 60});  // top edge
    EXPECT_EQ(editor.roiRect(), (CropRect{120, 60, 380, 280}));
    Drag(editor, {500, 200}, {520, 200});  // right edge
    EXPECT_EQ(editor.roiRect(), (CropRect{120, 60, 400, 280}));
    Drag(editor, {120, 200}, {140, 200});  // left edge: the right edge stays
    EXPECT_EQ(editor.roiRect(), (CropRect{140, 60, 380, 280}));
    Drag(editor, {300, 340}, {300, 300});  // bottom edge
    EXPECT_EQ(editor.roiRect(), (CropRect{140, 60, 380, 240}));
}

TEST(CropEditorTest, DragsStopAtTheMinimumSize)
{
    CropEditor editor = EditorOf(600, 400);  // (150, 100, 300, 200)
    // A corner dragged inward stops at 20 x 20 and stays there.
    Drag(editor, {450, 300}, {100, 50}, 10);
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 20, 20}));
    // The edges still resize.
    Drag(editor, {170, 110}, {300, 110});
    EXPECT_EQ(editor.roiRect().width, 150);
}

TEST(CropEditorTest, AnEdgeDraggedAcrossTheOppositeOneStopsAtTheMinimum)
{
    CropEditor editor = EditorOf(600, 400);  // (150, 100, 300, 200)
    Drag(editor, {300, 100}, {300, 380});    // top edge far below the bottom
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 280, 300, 20}));
    editor.setRoiRect({150, 100, 300, 200});
    Drag(editor, {300, 300}, {300, 10});  // bottom edge far above the top
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 300, 20}));
    editor.setRoiRect({150, 100, 300, 200});
    Drag(editor, {150, 200}, {590, 200});  // left edge past the right
    EXPECT_EQ(editor.roiRect(), (CropRect{430, 100, 20, 200}));
    editor.setRoiRect({150, 100, 300, 200});
    Drag(editor, {450, 200}, {5, 200});  // right edge past the left
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 20, 200}));
    EXPECT_GT(editor.roiRect().height, 0);
}

TEST(CropEditorTest, ResizingKeepsInsideTheArea)
{
    CropEditor editor = EditorOf(600, 400);
    Drag(editor, {450, 300}, {600, 400}, 20);
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 450, 300}));
    Drag(editor, {150, 100}, {0, 0}, 20);
    EXPECT_EQ(editor.roiRect(), (CropRect{0, 0, 600, 400}));
    // Positions outside the area are ignored.
    editor.setRoiRect({150, 100, 300, 200});
    editor.Press(450, 200);
    editor.MouseMove(450, 200);
    editor.MouseMove(65535, 200);
    EXPECT_EQ(editor.roiRect(), (CropRect{150, 100, 300, 200}));
    editor.Release();
}

TEST(CropEditorTest, AMoveCannotPushTheRectanglePastAnySide)
{
    CropEditor editor = EditorOf(600, 400);
    Drag(editor, {300, 200}, {590, 390}, 10);
    EXPECT_EQ(editor.roiRect(), (CropRect{300, 200, 300, 200}));
    Drag(editor, {450, 300}, {0, 0}, 10);
    EXPECT_EQ(editor.roiRect(), (CropRect{0, 0, 300, 200}));
    Drag(editor, {150, 100}, {250, 150});
    EXPECT_EQ(editor.roiRect(), (CropRect{100, 50, 300, 200}));
}

TEST(CropEditorTest, RescaleFollowsTheAreaAndSurvivesAZeroSize)
{
    const CropRect saved{150, 100, 300, 200};
    EXPECT_EQ(CropEditor::Rescale(saved, 600, 400, 1200, 800), (CropRect{300, 200, 600, 400}));
    EXPECT_EQ(CropEditor::Rescale(saved, 600, 400, 600, 400), saved);
    EXPECT_EQ(CropEditor::Rescale(saved, 600, 400, 300, 100), (CropRect{75, 25, 150, 50}));
    // Truncation toward zero.
    EXPECT_EQ(CropEditor::Rescale({1, 1, 3, 3}, 2, 2, 3, 3), (CropRect{1, 1, 4, 4}));
    // No size recorded before: the rectangle is kept.
    EXPECT_EQ(CropEditor::Rescale(saved, 0, 0, 800, 600), saved);
    EXPECT_EQ(CropEditor::Rescale(saved, 600, 0, 800, 600), saved);
}

TEST(CropEditorTest, VideoPixelsAreClampedAndEven)
{
    CropEditor editor = EditorOf(640, 480);  // (160, 120, 320, 240)
    // An area of the video's size maps unchanged.
    EXPECT_EQ(editor.ToVideoPixels(640, 480), (CropRect{160, 120, 320, 240}));
    // Twice the size.
    EXPECT_EQ(editor.ToVideoPixels(1280, 960), (CropRect{320, 240, 640, 480}));
    // Odd mapped sizes are cut down to even ones.
    editor.setRoiRect({11, 13, 101, 77});
    const CropRect odd = editor.ToVideoPixels(640, 480);
    EXPECT_EQ(odd, (CropRect{11, 13, 100, 76}));
    // An upright picture of a rotated file: taller than wide.
    editor.setRoiRect({0, 0, 640, 480});
    EXPECT_EQ(editor.ToVideoPixels(1080, 1920), (CropRect{0, 0, 1080, 1920}));
    // A rectangle reaching outside the picture is clamped into it.
    editor.setRoiRect({600, 460, 100, 100});
    const CropRect inside = editor.ToVideoPixels(640, 480);
    EXPECT_EQ(inside, (CropRect{600, 460, 40, 20}));
    editor.setRoiRect({639, 479, 30, 30});
    const CropRect corner = editor.ToVideoPixels(640, 480);
    EXPECT_EQ(corner.width, 2);
    EXPECT_EQ(corner.height, 2);
    EXPECT_LE(corner.x + corner.width, 640);
    EXPECT_LE(corner.y + corner.height, 480);
}

TEST(CropEditorTest, PaintTintsTheAreaAndLeavesTheWindowClear)
{
    CropEditor editor = EditorOf(200, 100);  // (50, 25, 100, 50)
    const QImage image = editor.Paint();
    ASSERT_EQ(image.size(), QSize(200, 100));
    // The outer 2-pixel border is untouched; the tint is blue at alpha 100.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(2, 2)), 100);
    EXPECT_EQ(qAlpha(image.pixel(197, 97)), 100);
    EXPECT_EQ(qAlpha(image.pixel(198, 50)), 0);
    // Red frame, 2 pixels thick, inside the rectangle's edges.
    for (QPoint p :
         {QPoint(50, 40), QPoint(51, 40), QPoint(148, 40), QPoint(149, 40), QPoint(100, 25), QPoint(100, 74)}) {
        EXPECT_EQ(image.pixel(p), qRgba(255, 0, 0, 255)) << p.x() << "," << p.y();
    }
    // Inside: alpha 1, so the window still takes the mouse there but shows the picture.
    EXPECT_EQ(qAlpha(image.pixel(100, 50)), 1);
    EXPECT_EQ(qAlpha(image.pixel(52, 27)), 1);
}

TEST(CropEditorTest, ShapedPictureHasOnlyOpaqueFrameGripsAndHatch)
{
    CropEditor editor = EditorOf(300, 200);  // (75, 50, 150, 100)
    const QImage image = editor.paintShaped();
    int opaque = 0;
    int partial = 0;
    int insideOpaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            opaque += a == 255;
            partial += a > 0 && a < 255;
            if (a > 0 && x > 90 && x < 210 && y > 62 && y < 138 && (std::abs(x - 150) > 12 || std::abs(y - 100) > 12))
                ++insideOpaque;
        }
    }
    // Never a block: a small share of the area is drawn, the rest is cut away.
    EXPECT_GT(opaque, 0);
    EXPECT_LT(opaque, image.width() * image.height() / 4);
    EXPECT_LE(partial, image.width() * image.height() / 50);  // anti-aliasing only
    // The picture inside the rectangle stays visible but for the move grip.
    EXPECT_EQ(insideOpaque, 0);
    EXPECT_EQ(image.pixel(75, 75), qRgba(255, 0, 0, 255));
    EXPECT_GT(qAlpha(image.pixel(150, 100)), 0);  // move grip
    EXPECT_EQ(CropEditor::hitTest(editor.roiRect(), 150, 100).mode, CropEditor::Move);
}

}  // namespace
}  // namespace tolvex
