#pragma once

// The timeline below the video of a clip dialog: a track over the file's duration, a dot
// at the playing position and two flags for the clip's start and end. A press on the track
// seeks; dragging a flag reports its time to the dialog, and releasing it on the track
// seeks there too.
//
// The split and the GIF dialog use the same control under two names (CVideoSplitPaintViewUI
// and CVideoGifPaintViewUI) that differ only in their class name and in the numbers of the
// three messages they post to the dialog: start moved, end moved, seek. Each message
// carries in wParam a pointer to a double (seconds) that the control owns for its whole
// life, one per message kind; the receiver copies the value.
//
// UI thread only.

#include "ui/clip/TimelineGeometry.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace tolvex {

class CVideoPaintViewUI : public QWidget {
    Q_OBJECT

public:
    struct Names {
        const char* className;      // the skin element this control stands for
        const char* interfaceName;  // and its control name
        int startChanged;
        int endChanged;
        int seekTo;
    };

    CVideoPaintViewUI(const Names& names, QWidget* parent = nullptr);
    ~CVideoPaintViewUI() override;

    QString GetClass() const;
    QString GetInterface() const;
    const Names& names() const { return m_names; }

    // The window the messages go to (the control's own window unless set).
    void setDialog(QObject* dialog) { m_dialog = dialog; }
    void SetDuration(double seconds);
    void setPosition(double seconds);
    double duration() const { return m_duration; }
    double position() const { return m_position; }
    double startTime() const { return m_startTime; }
    double endTime() const { return m_endTime; }
    const MarkerBox& startBox() const { return m_startBox; }
    const MarkerBox& endBox() const { return m_endBox; }
    bool startTouched() const { return m_startTouched; }
    bool endTouched() const { return m_endTouched; }
    TimelineGeometry geometry() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Flag { None, Start, End };
    Flag flagAt(QPoint p) const;
    void updateCursor(int x, int y);
    void post(int number, double* buffer);
    void postSeek(int x);

    Names m_names;
    QPointer<QObject> m_dialog;
    std::unique_ptr<double> m_startBuffer;
    std::unique_ptr<double> m_endBuffer;
    std::unique_ptr<double> m_seekBuffer;
    MarkerBox m_startBox;
    MarkerBox m_endBox;
    double m_position = 0.0;
    double m_duration = 0.0;
    double m_startTime = 0.0;
    double m_endTime = 0.0;
    int m_cursorX = 0;
    bool m_buttonDown = false;
    bool m_draggingMarker = false;
    bool m_draggingStart = false;
    bool m_draggingEnd = false;
    bool m_startTouched = false;
    bool m_endTouched = false;
    Flag m_pressFlag = Flag::None;
};

// The timeline of the split dialog: posts 1525 (start), 1526 (end), 1527 (seek).
class CVideoSplitPaintViewUI : public CVideoPaintViewUI {
    Q_OBJECT

public:
    static constexpr Names kNames{"VideoSplitPaintView", "video-split-paint-view", 1525, 1526, 1527};
    explicit CVideoSplitPaintViewUI(QWidget* parent = nullptr) : CVideoPaintViewUI(kNames, parent) {}
};

// The timeline of the GIF dialog: posts 1529 (start), 1530 (end), 1531 (seek).
class CVideoGifPaintViewUI : public CVideoPaintViewUI {
    Q_OBJECT

public:
    static constexpr Names kNames{"VideoGifPaintView", "video-gif-paint-view", 1529, 1530, 1531};
    explicit CVideoGifPaintViewUI(QWidget* parent = nullptr) : CVideoPaintViewUI(kNames, parent) {}
};

}  // namespace tolvex
