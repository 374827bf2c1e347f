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

    VideoGifDialog(QObject* mainWindow, std::string sourcePath);
    ~VideoGifDialog() override;

    static void Open(QWidget* mainWindow, const QString& sourcePath);
    static VideoGifDialog* make(QWidget* mainWindow, const QString& sourcePath);

protected:
    std::string outputNameFor(const QTime& now) const override;
    void handOver(const std::vector<SplitClip>& clips) override;
    QString equalTimesPrompt() const override;
};

}  // namespace tolvex
