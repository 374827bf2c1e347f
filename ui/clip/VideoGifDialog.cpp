#include "ui/clip/VideoGifDialog.h"

#include "ui/clip/ClipTimes.h"
#include "ui/framework/OwnedDialog.h"

#include <QCoreApplication>

namespace tolvex {

const ClipDialog::Names VideoGifDialog::kNames{
    "视频转GIF",
    "VideoGifDialog.xml",
    "video-gif-starttime",
    "video-gif-endtime",
    "add-video-gif-btn",
    "video-gif-list",
    "video-gif-confirm-btn",
    "video-gif-cancel-btn",
    "GifListItem.xml",
    "video-gif-filename",
    "video-gif-starttime",
    "video-gif-endtime",
    "video-gif-remove-btn",
    "VideoGifFinishCallback..............",
    1626,
    CVideoGifPaintViewUI::kNames,
};

VideoGifDialog::VideoGifDialog(QObject* mainWindow, MediaItem source)
    : ClipDialog(kNames, mainWindow, std::move(source))
{
}

VideoGifDialog::~VideoGifDialog() = default;

VideoGifDialog* VideoGifDialog::make(QWidget* mainWindow, const MediaItem& source)
{
    return CreateOwnedDialog(std::make_unique<VideoGifDialog>(mainWindow, source), mainWindow,
                             QString::fromUtf8(kNames.windowClass));
}

void VideoGifDialog::Open(QWidget* mainWindow, const MediaItem& source)
{
    if (VideoGifDialog* dialog = make(mainWindow, source)) {
        dialog->CenterWindow();
        dialog->ShowModal();
    }
}

std::string VideoGifDialog::outputNameFor(const QTime& now) const
{
    return GifClipOutputName(sourcePath(), now);
}

void VideoGifDialog::handOver(const std::vector<SplitClip>& clips)
{
    for (const SplitClip& clip : clips)
        GifClipList().append(GifClip{clip.itemId, clip.sourcePath, clip.outputName, clip.startText, clip.endText});
}

QString VideoGifDialog::equalTimesPrompt() const
{
    return QCoreApplication::translate("ClipTimes", kGifEqualTimesPrompt);
}

}  // namespace tolvex
