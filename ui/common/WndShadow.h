#pragma once

// CWndShadow: a soft drop shadow around a frameless top-level window (the parent).
//
// The shadow is a separate ShadowWindow owned by the parent. CWndShadow watches the parent's
// events and keeps the shadow beside it: it moves with the parent, is redrawn when the parent
// changes size, hides while the parent is hidden, maximised or minimised, and goes with the
// parent when the parent is destroyed. The picture comes from ComputeShadowPicture over the
// parent's shape (its mask, or its rectangle when it has none).
//
// Shadows need a display that blends translucent windows: RegisterShadowClass enables them
// once per process, and AttachShadow does nothing when they are not enabled or when no
// compositing manager runs; the parent then simply has no shadow.
//
// UI thread only: created, attached, changed and destroyed on the thread of the parent.

#include "ui/common/ShadowPicture.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <cstdint>

namespace tolvex {

class ShadowWindow;

class CWndShadow : public QObject {
public:
    // Status bits.
    enum : uint8_t {
        kEnabled = 1,        // attached to a parent
        kShadowVisible = 2,  // the shadow window is shown
        kParentVisible = 4,  // the parent is shown
    };

    static constexpr int kMinShift = -20;
    static constexpr int kMaxShift = 20;

    CWndShadow();
    ~CWndShadow() override;
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Enables shadows for the process. Call once, after the QApplication exists; false when
    // already enabled or when the platform cannot show translucent windows.
    static bool RegisterShadowClass();
    static bool shadowClassRegistered();

    // Attaches the shadow to `parent` (a top-level window). Does nothing when shadows are
    // not enabled or the display does not composite.
    void AttachShadow(QWidget* parent);

    // Each stores its value and redraws a visible shadow. Size and offsets outside -20..20
    // are refused with false and change nothing.
    bool SetShadowSize(int size);
    bool SetShadowOffset(int x, int y);
    bool SetShadowColour(QRgb colour);

    const ShadowSettings& settings() const { return m_settings; }
    uint8_t status() const { return m_status; }
    QWidget* parentWindow() const { return m_parent; }
    // The shadow window, null when not attached or after the parent was destroyed.
    ShadowWindow* shadowWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void detach();
    void redraw();
    QPoint shadowTopLeft() const;
    bool parentIsMaxOrMin() const;
    void showShadow();
    void hideShadow();
    void onParentResized(const QSize& newSize);
    void onParentStateChanged();

    QPointer<QWidget> m_parent;
    QPointer<ShadowWindow> m_shadow;
    uint8_t m_status = 0;
    ShadowSettings m_settings;
    QSize m_lastSize{0, 0};
    bool m_updatePending = false;
};

}  // namespace tolvex
