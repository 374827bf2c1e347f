#pragma once

// The arithmetic of the clip dialogs' timeline: where the track lies in the control, which
// time a point of the track stands for, where the two range flags may go and where the
// position dot is drawn. Plain numbers, no display needed.
//
// The track runs from left + 16 to right - 16 at top + 8; the flags hang from the marker row
// at top + 10 and are 6 pixels wide and 16 high. The start flag points left of its x, the
// end flag right of it.

namespace tolvex {

struct MarkerBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // A box is set once a paint has placed its flag.
    bool isSet() const { return width > 0 && height > 0; }
    // Edges included; `grace` pixels more on the left and right.
    bool contains(int px, int py, int grace = 0) const
    {
        return px >= x - grace && px <= x + width + grace && py >= y && py <= y + height;
    }
};

struct TimelineGeometry {
    static constexpr int kMargin = 16;
    static constexpr int kTrackOffset = 8;
    static constexpr int kMarkerRow = 10;
    static constexpr int kFlagWidth = 6;
    static constexpr int kFlagHeight = 16;
    // A flag is 6 pixels wide: the pointer may miss it by this much and still take it.
    static constexpr int kFlagGrace = 3;

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int trackLeft() const { return left + kMargin; }
    int trackRight() const { return right - kMargin; }
    int trackY() const { return top + kTrackOffset; }
    int markerY() const { return top + kMarkerRow; }
    // The usable length of the track; 0 or less on a control too narrow for one.
    int trackLength() const { return width() - 2 * kMargin; }

    // The time at track position x: (x - left - 16) / length x duration. 0 when the control
    // has no usable track (no division by zero on a collapsed control).
    double timeAt(int x, double duration) const;
    // The same in the single precision the flags use for the times they report.
    double flagTimeAt(int x, double duration) const;
    // A press here seeks: on the track's span, from the top down to the marker row.
    bool isSeekPress(int x, int y) const;
    // Within the track's horizontal span (ends included).
    bool inTrackSpan(int x) const { return x >= trackLeft() && x <= trackRight(); }
    // The hand cursor shows over the strip above the marker row.
    bool showsHandCursor(int x, int y) const { return x > trackLeft() && x < trackRight() && y < markerY(); }

    // Where a dragged start flag goes for cursor x: never past the end flag's box, never off
    // the track.
    int draggedStartX(int cursorX, const MarkerBox& endBox) const;
    // Where a dragged end flag goes: never left of the start flag's box, never off the track.
    int draggedEndX(int cursorX, const MarkerBox& startBox) const;
    // The flags' x at rest: from their boxes once placed, else the track's ends.
    int restingStartX(const MarkerBox& startBox) const;
    int restingEndX(const MarkerBox& endBox) const;
    MarkerBox startBoxAt(int x) const { return {x - kFlagWidth, markerY(), kFlagWidth, kFlagHeight}; }
    MarkerBox endBoxAt(int x) const { return {x, markerY(), kFlagWidth, kFlagHeight}; }

    // Offset of the position dot from the track's start, or -1 when no dot is drawn
    // (negative position or no duration yet).
    int dotOffset(double position, double duration) const;
};

}  // namespace tolvex
