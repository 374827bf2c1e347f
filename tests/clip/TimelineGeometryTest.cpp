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
    EXPECT_DOUBLE_EQ(g.TimeAt(116, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(g.TimeAt(516, 10.0), 10.0);
    EXPECT_DOUBLE_EQ(g.TimeAt(316, 10.0), 5.0);
    // Flags report in single precision; the track ends stay exact.
    EXPECT_DOUBLE_EQ(g.FlagTimeAt(116, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(g.FlagTimeAt(516, 10.0), 10.0);
    EXPECT_NEAR(g.FlagTimeAt(196, 10.0), 2.0, 1e-6);
}

TEST(TimelineGeometryTest, NoDurationOrNoTrackSeeksToZero)
{
    const TimelineGeometry g = Track();
    EXPECT_DOUBLE_EQ(g.TimeAt(300, 0.0), 0.0);
    // A control squeezed below the two margins has no track: no division by zero.
    const TimelineGeometry collapsed{0, 0, 32, 30};
    EXPECT_DOUBLE_EQ(collapsed.TimeAt(16, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(collapsed.FlagTimeAt(16, 10.0), 0.0);
}

TEST(TimelineGeometryTest, SeekPressesOnlyOnTheTrackStrip)
{
    const TimelineGeometry g = Track();
    EXPECT_TRUE(g.IsSeekPress(116, 50));
    EXPECT_TRUE(g.IsSeekPress(516, 60));
    EXPECT_FALSE(g.IsSeekPress(115, 55));
    EXPECT_FALSE(g.IsSeekPress(517, 55));
    EXPECT_FALSE(g.IsSeekPress(300, 61));  // below the marker row: the flags
    EXPECT_FALSE(g.IsSeekPress(300, 49));
    EXPECT_TRUE(g.ShowsHandCursor(117, 59));
    EXPECT_FALSE(g.ShowsHandCursor(116, 55));
    EXPECT_FALSE(g.ShowsHandCursor(300, 60));
}

TEST(TimelineGeometryTest, FlagsNeverPassEachOtherNorLeaveTheTrack)
{
    const TimelineGeometry g = Track();
    const MarkerBox endBox = g.EndBoxAt(300);
    // The start flag stops at the end flag's left edge.
    EXPECT_EQ(g.DraggedStartX(400, endBox), 300);
    EXPECT_EQ(g.DraggedStartX(250, endBox), 250);
    EXPECT_EQ(g.DraggedStartX(-40, endBox), 116);
    const MarkerBox startBox = g.StartBoxAt(200);
    EXPECT_EQ(startBox.x, 194);
    // The end flag stops at the start flag's right edge and at the track's end.
    EXPECT_EQ(g.DraggedEndX(150, startBox), 200);
    EXPECT_EQ(g.DraggedEndX(900, startBox), 516);
    // An end flag pushed to the far left still keeps to the track.
    EXPECT_EQ(g.DraggedEndX(0, MarkerBox{}), 116);
}

TEST(TimelineGeometryTest, FlagsRestAtTheTrackEndsUntilPlaced)
{
    const TimelineGeometry g = Track();
    EXPECT_EQ(g.RestingStartX(MarkerBox{}), 116);
    EXPECT_EQ(g.RestingEndX(MarkerBox{}), 516);
    EXPECT_EQ(g.RestingStartX(g.StartBoxAt(210)), 210);
    EXPECT_EQ(g.RestingEndX(g.EndBoxAt(410)), 410);
    // Boxes take their edges.
    const MarkerBox box = g.StartBoxAt(210);
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
    EXPECT_EQ(g.DotOffset(1.0, 0.0), -1);
    EXPECT_EQ(g.DotOffset(-0.5, 10.0), -1);
    EXPECT_EQ(g.DotOffset(0.0, 10.0), 0);
    EXPECT_EQ(g.DotOffset(2.5, 10.0), 100);
    EXPECT_EQ(g.DotOffset(10.0, 10.0), 400);
}

}  // namespace
}  // namespace tolvex
