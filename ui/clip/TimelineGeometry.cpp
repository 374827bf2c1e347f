#include "ui/clip/TimelineGeometry.h"

#include <algorithm>

namespace tolvex {

double TimelineGeometry::timeAt(int x, double duration) const
{
    const int length = trackLength();
    if (length <= 0)
        return 0.0;
    return static_cast<double>(x - left - kMargin) / length * duration;
}

double TimelineGeometry::flagTimeAt(int x, double duration) const
{
    const int length = trackLength();
    if (length <= 0)
        return 0.0;
    const float fraction = static_cast<float>(x - left - kMargin) / static_cast<float>(length);
    return fraction * duration;
}

bool TimelineGeometry::isSeekPress(int x, int y) const
{
    return inTrackSpan(x) && y >= top && y <= markerY();
}

int TimelineGeometry::draggedStartX(int cursorX, const MarkerBox& endBox) const
{
    int x = std::min(cursorX, endBox.x);
    x = std::max(x, trackLeft());
    return std::min(x, trackRight());
}

int TimelineGeometry::draggedEndX(int cursorX, const MarkerBox& startBox) const
{
    int x = std::max(cursorX, startBox.x + startBox.width);
    x = std::max(x, trackLeft());
    return std::min(x, trackRight());
}

int TimelineGeometry::restingStartX(const MarkerBox& startBox) const
{
    return startBox.isSet() ? startBox.x + startBox.width : trackLeft();
}

int TimelineGeometry::restingEndX(const MarkerBox& endBox) const
{
    return endBox.isSet() ? endBox.x : trackRight();
}

int TimelineGeometry::dotOffset(double position, double duration) const
{
    if (position < 0.0 || duration <= 0.0)
        return -1;
    return static_cast<int>(trackLength() * position / duration);
}

}  // namespace tolvex
