#pragma once

// The crop rectangle of the split dialog, in the overlay's client pixels: which edge,
// corner or inside a mouse position is on, how a drag moves and resizes it, its picture,
// how it follows a change of the overlay's size and how it maps to video pixels.
//
// Press inside a zone, then the first MouseMove after it starts the drag of that zone (and
// changes nothing else); later moves apply the drag; Release ends it. Positions outside the area
// are ignored. The rectangle never gets narrower or lower than 20 pixels by a drag and never
// leaves the area by a move.
//
// Pure: no window. The overlay (CVideoMask) feeds it mouse positions, sets the cursor it
// answers and shows its picture. UI thread only.

#include <QImage>
#include <QRect>

#include <string>

namespace tolvex {

struct CropRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const CropRect&) const = default;
};

class CropEditor {
public:
    static constexpr int kMinSize = 20;
    static constexpr int kGrab = 5;

    enum DragMode {
        None = 0,
        TopEdge = 1,
        BottomEdge = 2,
        LeftEdge = 3,
        RightEdge = 4,
        TopLeft = 5,
        TopRight = 6,
        BottomLeft = 7,
        BottomRight = 8,
        Move = 9,
    };

    enum class Cursor { Arrow, SizeVertical, SizeHorizontal, SizeDiagonal, SizeAntiDiagonal, SizeAll };

    struct Zone {
        DragMode mode = None;
        Cursor cursor = Cursor::Arrow;
        const char* line = nullptr;  // the diagnostic line of the zone, if any
    };

    // The zone of (x, y) for rectangle `rect`: edges, then corners, then the inside; the
    // first zone that holds the point wins (all bounds strict).
    static Zone hitTest(const CropRect& rect, int x, int y);
    static Cursor cursorOf(DragMode mode);

    void Press(int x, int y);
    void Release();
    // A hit test (not dragging) or a drag step; returns the cursor to show.
    Cursor MouseMove(int x, int y);

    // The overlay's new width (or height) at screen position (screenX, screenY). When the
    // rectangle has no size yet it becomes the centred half-size rectangle.
    void SetAreaWidth(int screenX, int screenY, int width);
    void SetAreaHeight(int screenX, int screenY, int height);

    // The rectangle `saved` of an area oldW x oldH, scaled to an area newW x newH (single
    // precision, truncated). An old size of 0 keeps `saved`.
    static CropRect Rescale(const CropRect& saved, int oldWidth, int oldHeight, int newWidth, int newHeight);
    // The rectangle in the pixels of a videoW x videoH picture stretched over the area,
    // clamped into the picture and cut down to even sizes (encoders take no odd sizes).
    CropRect ToVideoPixels(int videoWidth, int videoHeight) const;

    // The overlay's picture: a blue tint over the area, a clear window over the rectangle
    // (alpha 1, so the overlay still takes the mouse there) framed in red.
    QImage Paint() const;
    // The picture for a display that cannot blend: only opaque parts - the red frame, grips
    // on the corners and edges, a grip in the middle for moving, and a light hatch outside
    // the rectangle; the rest is fully transparent and is cut away by the window's shape.
    QImage paintShaped() const;

    const CropRect& roiRect() const { return m_roi; }
    void setRoiRect(const CropRect& rect) { m_roi = rect; }
    QSize areaSize() const { return {m_areaWidth, m_areaHeight}; }
    DragMode dragMode() const { return m_dragMode; }
    bool dragging() const { return m_dragging; }
    bool buttonDown() const { return m_buttonDown; }
    int screenX() const { return m_screenX; }
    int screenY() const { return m_screenY; }

    // Grips of the shaped picture (also where it takes the mouse).
    static constexpr int kGripSize = 10;

private:
    void placeInitialRect();
    void dragStep(int x, int y);
    bool outsideX(int x) const { return x < 0 || x > m_areaWidth; }
    bool outsideY(int y) const { return y < 0 || y > m_areaHeight; }

    DragMode m_dragMode = None;
    bool m_dragging = false;
    bool m_buttonDown = false;
    DragMode m_pressZone = None;  // the zone of the press, until the first move after it
    int m_lastX = 0;
    int m_lastY = 0;
    CropRect m_pressRect;
    int m_screenX = 0;
    int m_screenY = 0;
    int m_areaWidth = 0;
    int m_areaHeight = 0;
    CropRect m_roi;
};

}  // namespace tolvex
