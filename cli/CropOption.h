#pragma once

// The split sub-command's --crop option: "W:H:X:Y" in pixels of the upright picture (a
// phone video turned as it is shown), a rectangle of at least one pixel inside the frame.

#include <QString>

#include <optional>

namespace tolvex::cli {

struct CropRect {
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
};

// The rectangle, or nullopt when the text is malformed or the rectangle leaves the frame.
std::optional<CropRect> ParseCropOption(const QString& text, int frameWidth, int frameHeight);

}  // namespace tolvex::cli
