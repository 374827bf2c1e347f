#pragma once

// The crop overlay of the split dialog: a frameless top-level window kept exactly over the
// video area, showing the crop rectangle of its CropEditor and taking the mouse for it.
//
// With a compositing manager the window has per-pixel alpha: a light tint over the picture
// and a clear window (alpha 1, so it still takes the mouse) framed in red. Without one, X11
// would show the tint as an opaque block, so the window is shaped instead: only the frame,
// grips and a light hatch are drawn, everything else is cut away and shows the picture.
//
// UI thread only.

#include "ui/clip/CropEditor.h"

#include <QTimer>
#include <QWidget>

namespace tolvex {

class CVideoMask : public QWidget {
    Q_OBJECT

public:
    // Repaint period of the overlay.
    static constexpr int kRepaintMs = 50;

    explicit CVideoMask(QWidget* owner);

    // Moves the overlay to screen position (x, y) with the new width (or height) and tells
    // the editor.
    void SetWidth(int x, int y, int width);
    void SetHeight(int x, int y, int height);
    // Shows the editor's current rectangle now.
    void repaint();

    CropEditor& editor() { return m_editor; }
    const CropEditor& editor() const { return m_editor; }
    bool shaped() const { return m_shaped; }

signals:
    // The user finished moving or resizing the rectangle.
    void rectangleChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyCursor(CropEditor::Cursor cursor);
    bool refresh();

    CropEditor m_editor;
    QTimer m_repaint;
    bool m_shaped = false;
    QImage m_picture;
    CropRect m_paintedFor;
};

}  // namespace tolvex
