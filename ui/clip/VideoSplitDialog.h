#pragma once

// The split dialog: plays one file, lets the user pick start and end times (typed or with
// the timeline's flags) and optionally a crop rectangle drawn over the picture, and hands
// the collected clips to the main window (SplitClipList, then WM_SPLIT_CLIPS_READY).
//
// The crop overlay (CVideoMask) is made on the first use of "cut-video-btn" and is then
// shown and hidden by it; it lies over the picture (not the bars beside a phone video's),
// follows the dialog's moves, resizes, maximise and restore, scaling the rectangle with the
// picture. The rectangle maps to the upright picture: a phone video stored on its side is
// cropped in the size ffmpeg sees after turning it, and the clip carries it so.
//
// "无损快速" (remembered in the settings) makes the clips lossless: they copy the tracks and
// start at the key frame at or before the chosen start, which the dialog shows beside the
// position as soon as the start changes (KeyFrameFinder looks it up off the UI thread). A
// crop needs the picture encoded again: the box is unticked and disabled while the crop is on.
//
// UI thread only (see ClipDialog).

#include "ui/clip/CVideoMask.h"
#include "ui/clip/ClipDialog.h"
#include "ui/clip/CropEditor.h"

#include <QPointer>

#include <memory>

class QCheckBox;
class QLabel;

namespace tolvex {

class KeyFrameFinder;

class VideoSplitDialog : public ClipDialog {
    Q_OBJECT

public:
    static const Names kNames;

    VideoSplitDialog(QObject* mainWindow, MediaItem source);
    ~VideoSplitDialog() override;

    // Creates the dialog over `mainWindow` for the file `source` (as the import probed it),
    // centres it and runs it modally; returns once it closed.
    static void Open(QWidget* mainWindow, const MediaItem& source);
    // Creates the dialog (not yet shown); null when its skin cannot be loaded.
    static VideoSplitDialog* make(QWidget* mainWindow, const MediaItem& source);

    CVideoMask* overlay() const { return m_mask; }
    bool cropOn() const { return m_cropOn; }
    QCheckBox* losslessBox() const { return m_lossless; }
    // The key frame found for the start now in the edit, in seconds; -1 while not known.
    double keyFrameSeconds() const;
    // The overlay's place for the dialog as it is now: the picture's rectangle in the video
    // area grown by 2 pixels on every side, in screen coordinates.
    QRect overlayRect() const;

protected:
    void InitWindow() override;
    std::string outputNameFor(const QTime& now) const override;
    void fillCrop(SplitClip& clip) const override;
    void handOver(const std::vector<SplitClip>& clips) override;
    QString equalTimesPrompt() const override;
    void onOtherClick(QWidget* sender) override;
    void placeWindows() override;
    void onDestroy() override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void toggleCrop();
    void setLossless(bool on);
    void lookUpKeyFrame();
    void showKeyFrame(int seconds, double keyFrameSeconds);
    void placeOverlay(bool rescale);
    void rememberRect();

    QAbstractButton* m_cutButton = nullptr;
    QCheckBox* m_lossless = nullptr;
    QLabel* m_keyLabel = nullptr;
    std::unique_ptr<KeyFrameFinder> m_keyFinder;
    // The last answer: the start (whole seconds) it is for and its key frame.
    int m_keyFor = -1;
    double m_keySeconds = -1.0;
    QPointer<CVideoMask> m_mask;
    bool m_cropOn = false;
    // The rectangle and the overlay size it was drawn for: every resize scales from them,
    // so maximise and restore come back to the same rectangle.
    CropRect m_savedRect;
    QSize m_savedSize;
};

}  // namespace tolvex
