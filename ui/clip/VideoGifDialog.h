#pragma once

// The GIF dialog: like the split dialog without the crop; its clips become animated GIF
// files named after the source with ".gif", handed over through GifClipList and
// WM_GIF_CLIPS_READY. A fixed-size dialog. The "画质优先" box (best picture) marks every
// clip handed over for palettes made from its own frames; the choice is kept in the
// settings ("gif-best-picture") and the next dialog starts with it.
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

    // Whether "画质优先" is ticked.
    bool bestPicture() const;

protected:
    void InitWindow() override;
    void onOtherClick(QWidget* sender) override;
    std::string outputNameFor(const QTime& now) const override;
    void handOver(const std::vector<SplitClip>& clips) override;
    QString equalTimesPrompt() const override;

private:
    QAbstractButton* m_bestPicture = nullptr;
};

}  // namespace tolvex
