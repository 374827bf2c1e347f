#include "ui/clip/VideoSplitDialog.h"

#include "player/PictureRect.h"
#include "player/RenderLock.h"
#include "ui/clip/CVideoMask.h"
#include "ui/clip/ClipTimes.h"
#include "ui/framework/OwnedDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>

namespace tolvex {

const ClipDialog::Names VideoSplitDialog::kNames{
    "视频分割",
    "VideoSplitDialog.xml",
    "video-split-starttime",
    "video-split-endtime",
    "add-video-split-btn",
    "video-split-list",
    "video-split-confirm-btn",
    "video-split-cancel-btn",
    "SplitListItem.xml",
    "video-split-filename",
    "video-split-starttime",
    "video-split-endtime",
    "video-split-remove-btn",
    "VideoSplitFinishCallback..............",
    1625,
    CVideoSplitPaintViewUI::kNames,
};

VideoSplitDialog::VideoSplitDialog(QObject* mainWindow, MediaItem source)
    : ClipDialog(kNames, mainWindow, std::move(source))
{
}

VideoSplitDialog::~VideoSplitDialog() = default;

VideoSplitDialog* VideoSplitDialog::make(QWidget* mainWindow, const MediaItem& source)
{
    // A normal resizable window, not a fixed-size pop-up.
    return CreateOwnedDialog(std::make_unique<VideoSplitDialog>(mainWindow, source), mainWindow,
                             QString::fromUtf8(kNames.windowClass), WS_VISIBLE | WS_OVERLAPPEDWINDOW);
}

void VideoSplitDialog::Open(QWidget* mainWindow, const MediaItem& source)
{
    if (VideoSplitDialog* dialog = make(mainWindow, source)) {
        dialog->CenterWindow();
        // The dialog deletes itself after its final message.
        dialog->ShowModal();
    }
}

void VideoSplitDialog::InitWindow()
{
    ClipDialog::InitWindow();
    m_cutButton = findControlAs<QAbstractButton>(QStringLiteral("cut-video-btn"));
}

std::string VideoSplitDialog::outputNameFor(const QTime& now) const
{
    return SplitClipOutputName(sourcePath(), now);
}

void VideoSplitDialog::fillCrop(SplitClip& clip) const
{
    const int width = source().uprightWidth();
    const int height = source().uprightHeight();
    if (m_cropOn && m_mask) {
        const CropRect r = m_mask->editor().ToVideoPixels(width, height);
        clip.cropEnabled = 1;
        clip.cropX = r.x;
        clip.cropY = r.y;
        clip.cropWidth = r.width;
        clip.cropHeight = r.height;
    } else {
        clip.cropEnabled = 0;
        clip.cropX = 0;
        clip.cropY = 0;
        clip.cropWidth = width;
        clip.cropHeight = height;
    }
}

void VideoSplitDialog::handOver(const std::vector<SplitClip>& clips)
{
    for (const SplitClip& clip : clips)
        SplitClipList().append(clip);
}

QString VideoSplitDialog::equalTimesPrompt() const
{
    return QCoreApplication::translate("ClipTimes", kSplitEqualTimesPrompt);
}

void VideoSplitDialog::onOtherClick(QWidget* sender)
{
    if (sender && sender == m_cutButton)
        toggleCrop();
}

void VideoSplitDialog::toggleCrop()
{
    if (!m_mask) {
        m_cropOn = true;
        m_mask = new CVideoMask(this);
        connect(m_mask, &CVideoMask::rectangleChanged, this, [this] { rememberRect(); });
        placeOverlay(false);
        rememberRect();
        m_mask->show();
        m_mask->repaint();
    } else if (m_cropOn) {
        m_mask->hide();
        m_cropOn = false;
    } else {
        placeOverlay(true);
        m_mask->show();
        m_mask->repaint();
        m_cropOn = true;
    }
    if (m_cutButton)
        m_cutButton->setText(m_cropOn ? QCoreApplication::translate("VideoSplitDialog", "取消裁剪")
                                      : QCoreApplication::translate("VideoSplitDialog", "启用裁剪"));
}

QRect VideoSplitDialog::overlayRect() const
{
    const QRect area = playerAreaRect();
    if (area.isEmpty())
        return {};
    const MediaItem& picture = source();
    const PictureRect shown =
        ShownPictureRect(area.width(), area.height(), picture.width, picture.height, picture.uprightTurn);
    const QRect onArea(area.x() + shown.x, area.y() + shown.y, shown.width, shown.height);
    return QRect(mapToGlobal(onArea.topLeft()), onArea.size()).adjusted(-2, -2, 2, 2);
}

void VideoSplitDialog::placeOverlay(bool rescale)
{
    if (!m_mask)
        return;
    const QRect r = overlayRect();
    if (r.isEmpty())
        return;
    if (rescale && r.size() != m_mask->editor().areaSize()) {
        m_mask->editor().setRoiRect(
            CropEditor::Rescale(m_savedRect, m_savedSize.width(), m_savedSize.height(), r.width(), r.height()));
    }
    m_mask->SetWidth(r.x(), r.y(), r.width());
    m_mask->SetHeight(r.x(), r.y(), r.height());
    m_mask->repaint();
}

void VideoSplitDialog::rememberRect()
{
    if (!m_mask)
        return;
    m_savedRect = m_mask->editor().roiRect();
    m_savedSize = m_mask->editor().areaSize();
}

void VideoSplitDialog::placeWindows()
{
    // No frame is presented while the picture's windows move.
    std::lock_guard<std::recursive_mutex> lock(RenderLock());
    ClipDialog::placeWindows();
    placeOverlay(true);
}

void VideoSplitDialog::moveEvent(QMoveEvent* event)
{
    ClipDialog::moveEvent(event);
    if (m_mask) {
        std::lock_guard<std::recursive_mutex> lock(RenderLock());
        placeOverlay(false);
    }
}

void VideoSplitDialog::changeEvent(QEvent* event)
{
    ClipDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_mask && m_cropOn)
        m_mask->setVisible(!isMinimized());
}

void VideoSplitDialog::onDestroy()
{
    if (m_mask)
        m_mask->hide();
    ClipDialog::onDestroy();
}

}  // namespace tolvex
