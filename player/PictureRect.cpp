#include "player/PictureRect.h"

#include <algorithm>
#include <cmath>

namespace tolvex {

PictureRect ShownPictureRect(int areaWidth, int areaHeight, int frameWidth, int frameHeight, int rotation)
{
    const PictureRect whole{0, 0, areaWidth, areaHeight};
    const bool quarterTurn = rotation == 90 || rotation == 270;
    if (!quarterTurn || areaWidth <= 0 || areaHeight <= 0 || frameWidth <= 0 || frameHeight <= 0)
        return whole;
    // Upright, the frame's sides are exchanged.
    const double uprightWidth = frameHeight;
    const double uprightHeight = frameWidth;
    const double scale = std::min(areaWidth / uprightWidth, areaHeight / uprightHeight);
    const int width = std::clamp(static_cast<int>(std::lround(uprightWidth * scale)), 1, areaWidth);
    const int height = std::clamp(static_cast<int>(std::lround(uprightHeight * scale)), 1, areaHeight);
    return {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
}

}  // namespace tolvex
