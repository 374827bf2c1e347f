#pragma once

// Where the preview draws its picture in the video area. A picture shown as it is stored
// is stretched over the whole area. A picture turned a quarter to stand upright (a phone
// video) keeps its aspect, centred between bars: stretched, a portrait picture would be
// squashed into the landscape area. The crop overlay of the split dialog lies over this
// rectangle, so its pixels map to the picture's. Pure.

namespace tolvex {

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PictureRect&) const = default;
};

// The picture's rectangle in an area of areaWidth x areaHeight for frames of frameWidth x
// frameHeight turned clockwise by `rotation` degrees (0, 90, 180, 270).
PictureRect ShownPictureRect(int areaWidth, int areaHeight, int frameWidth, int frameHeight, int rotation);

}  // namespace tolvex
