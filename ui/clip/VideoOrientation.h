#pragma once

// The picture of a file as it is meant to be seen: phone videos store their picture on its
// side with a display matrix that says how far to turn it. ffmpeg turns such a picture
// upright before its filters, so a crop for it is given in the upright picture's size.
// Re-entrant: each call opens the file on its own.

#include <string>

namespace tolvex {

struct VideoOrientation {
    int width = 0;  // the stored picture's size
    int height = 0;
    int rotation = 0;  // clockwise turn that makes it upright: 0, 90, 180 or 270

    bool sideways() const { return rotation == 90 || rotation == 270; }
    int uprightWidth() const { return sideways() ? height : width; }
    int uprightHeight() const { return sideways() ? width : height; }
};

// The clockwise turn a display-matrix rotation (counter-clockwise degrees, as FFmpeg reports
// them) asks for, rounded to a quarter turn.
int ClockwiseQuarterTurn(double displayMatrixDegrees);

// The first video stream's size and turn; all 0 when the file has no picture.
VideoOrientation ProbeVideoOrientation(const std::string& path);

}  // namespace tolvex
