#include "ui/clip/VideoGifDialog.h"

#include "app/Settings.h"
#include "ui/clip/ClipTimes.h"
#include "ui/framework/OwnedDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace tolvex {

namespace {

const QString kSection = QStringLiteral("global");
const QString kBestPictureKey = QStringLiteral("gif-best-picture");

bool BestPictureRemembered()
{
    QString value;
    ReadSetting(kSection, kBestPictureKey, QStringLiteral("0"), value, 0);
    return value.trimmed() == QLatin1String("1");
}

}  // namespace

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

void VideoGifDialog::InitWindow()
{
    ClipDialog::InitWindow();
    m_bestPicture = findControlAs<QAbstractButton>(QStringLiteral("video-gif-best-picture"));
    if (m_bestPicture)
        m_bestPicture->setChecked(BestPictureRemembered());
}

bool VideoGifDialog::bestPicture() const
{
    return m_bestPicture && m_bestPicture->isChecked();
}

void VideoGifDialog::onOtherClick(QWidget* sender)
{
    // A person's choice (a click or the space bar) is remembered at once, whether or not
    // the dialog is then confirmed.
    if (sender == m_bestPicture)
        WriteSetting(kSection, kBestPictureKey, bestPicture() ? QStringLiteral("1") : QStringLiteral("0"));
}

void VideoGifDialog::handOver(const std::vector<SplitClip>& clips)
{
    const bool best = bestPicture();
    for (const SplitClip& clip : clips) {
        GifClipList().append(
            GifClip{clip.itemId, clip.sourcePath, clip.outputName, clip.startText, clip.endText, best});
    }
}

QString VideoGifDialog::equalTimesPrompt() const
{
    return QCoreApplication::translate("ClipTimes", kGifEqualTimesPrompt);
}

}  // namespace tolvex
