#include "ui/clip/TimelineGeometry.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

// A timeline 432 pixels wide at (100, 50): the track runs from 116 to 516, 400 long.
TimelineGeometry Track()
{
    return {100, 50, 532, 90};
}

TEST(TimelineGeometryTest, TrackEndsMapToZeroAndTheWholeDuration)
{
    const TimelineGeometry g = Track();
    ASSERT_EQ(g.trackLength(), 400);
    EXPECT_DOUBLE_EQ(g.timeAt(116, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(g.timeAt(516, 10.0), 10.0);
    EXPECT_DOUBLE_EQ(g.timeAt(316, 10.0), 5.0);
    // Flags report in single precision; the track ends stay exact.
    EXPECT_DOUBLE_EQ(g.flagTimeAt(116, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(g.flagTimeAt(516, 10.0), 10.0);
    EXPECT_NEAR(g.flagTimeAt(196, 10.0), 2.0, 1e-6);
}

TEST(TimelineGeometryTest, NoDurationOrNoTrackSeeksToZero)
{
    const TimelineGeometry g = Track();
    EXPECT_DOUBLE_EQ(g.timeAt(300, 0.0), 0.0);
    // A control squeezed below the two margins has no track: no division by zero.
    const TimelineGeometry collapsed{0, 0, 32, 30};
    EXPECT_DOUBLE_EQ(collapsed.timeAt(16, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(collapsed.flagTimeAt(16, 10.0), 0.0);
}

TEST(TimelineGeometryTest, SeekPressesOnlyOnTheTrackStrip)
{
    const TimelineGeometry g = Track();
    EXPECT_TRUE(g.isSeekPress(116, 50));
    EXPECT_TRUE(g.isSeekPress(516, 60));
    EXPECT_FALSE(g.isSeekPress(115, 55));
    EXPECT_FALSE(g.isSeekPress(517, 55));
    EXPECT_FALSE(g.isSeekPress(300, 61));  // below the marker row: the flags
    EXPECT_FALSE(g.isSeekPress(300, 49));
    EXPECT_TRUE(g.showsHandCursor(117, 59));
    EXPECT_FALSE(g.showsHandCursor(116, 55));
    EXPECT_FALSE(g.showsHandCursor(300, 60));
}

TEST(TimelineGeometryTest, FlagsNeverPassEachOtherNorLeaveTheTrack)
{
    const TimelineGeometry g = Track();
    const MarkerBox endBox = g.endBoxAt(300);
    // The start flag stops at the end flag's left edge.
    EXPECT_EQ(g.draggedStartX(400, endBox), 300);
    EXPECT_EQ(g.draggedStartX(250, endBox), 250);
    EXPECT_EQ(g.draggedStartX(-40, endBox), 116);
    const MarkerBox startBox = g.startBoxAt(200);
    EXPECT_EQ(startBox.x, 194);
    // The end flag stops at the start flag's right edge and at the track's end.
    EXPECT_EQ(g.draggedEndX(150, startBox), 200);
    EXPECT_EQ(g.draggedEndX(900, startBox), 516);
    // An end flag pushed to the far left still keeps to the track.
    EXPECT_EQ(g.draggedEndX(0, MarkerBox{}), 116);
}

TEST(TimelineGeometryTest, FlagsRestAtTheTrackEndsUntilPlaced)
{
    const TimelineGeometry g = Track();
    EXPECT_EQ(g.restingStartX(MarkerBox{}), 116);
    EXPECT_EQ(g.restingEndX(MarkerBox{}), 516);
    EXPECT_EQ(g.restingStartX(g.startBoxAt(210)), 210);
    EXPECT_EQ(g.restingEndX(g.endBoxAt(410)), 410);
    // Boxes take their edges.
    const MarkerBox box = g.startBoxAt(210);
    EXPECT_TRUE(box.contains(204, 60));
    EXPECT_TRUE(box.contains(210, 76));
    EXPECT_FALSE(box.contains(211, 60));
    EXPECT_FALSE(box.contains(205, 77));
    EXPECT_TRUE(box.contains(213, 60, TimelineGeometry::kFlagGrace));
    EXPECT_FALSE(box.contains(214, 60, TimelineGeometry::kFlagGrace));
    EXPECT_TRUE(box.contains(201, 60, TimelineGeometry::kFlagGrace));
}

TEST(TimelineGeometryTest, PositionDotNeedsADurationAndAPosition)
{
    const TimelineGeometry g = Track();
    EXPECT_EQ(g.dotOffset(1.0, 0.0), -1);
    EXPECT_EQ(g.dotOffset(-0.5, 10.0), -1);
    EXPECT_EQ(g.dotOffset(0.0, 10.0), 0);
    EXPECT_EQ(g.dotOffset(2.5, 10.0), 100);
    EXPECT_EQ(g.dotOffset(10.0, 10.0), 400);
}

}  // namespace
}  // namespace tolvex
