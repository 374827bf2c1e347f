#pragma once

// The GIF dialog: like the split dialog without the crop; its clips become animated GIF
// files named after the source with ".gif", handed over through GifClipList and
// WM_GIF_CLIPS_READY. A fixed-size dialog.
//
// UI thread only (see ClipDialog).

#include "ui/clip/ClipDialog.h"

namespace tolvex {

class VideoGifDialog : public ClipDialog {
    Q_OBJECT

public:
    static const Names kNames;

    VideoGifDialog(QObject* mainWindow, MediaItem source);
    ~VideoGifDialog() override;

    static void Open(QWidget* mainWindow, const MediaItem& source);
    static VideoGifDialog* make(QWidget* mainWindow, const MediaItem& source);

protected:
    std::string outputNameFor(const QTime& now) const override;
    void handOver(const std::vector<SplitClip>& clips) override;
    QString equalTimesPrompt() const override;
};

}  // namespace tolvex
