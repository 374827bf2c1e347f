#pragma once

// The window that shows a drop shadow: frameless, translucent, never takes focus or input
// (clicks fall through to whatever lies below), and owned by the window it shadows so that
// it lives, stacks and is minimised with it. It only paints the picture it is given;
// CWndShadow decides what to show and where.
//
// UI thread only.

#include <QImage>
#include <QWidget>

namespace tolvex {

class ShadowWindow : public QWidget {
public:
    explicit ShadowWindow(QWidget* owner);

    // Shows `picture` with its top-left corner at `topLeft` (screen coordinates); the window
    // takes the picture's size.
    void setPicture(const QImage& picture, const QPoint& topLeft);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

}  // namespace tolvex
