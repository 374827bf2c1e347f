#include "ui/clip/VideoSplitDialog.h"

#include "app/Helpers.h"
#include "app/Settings.h"
#include "player/PictureRect.h"
#include "player/RenderLock.h"
#include "ui/clip/CVideoMask.h"
#include "ui/clip/ClipTimes.h"
#include "ui/clip/KeyFrameFinder.h"
#include "ui/framework/OwnedDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace tolvex {

namespace {

// The setting that remembers the "无损快速" box.
const QString kLosslessKey = QStringLiteral("split-lossless");

bool LosslessSetting()
{
    QString value;
    ReadSetting(QStringLiteral("global"), kLosslessKey, QStringLiteral("0"), value, 0);
    return value.trimmed() == QLatin1String("1");
}

}  // namespace

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
    m_lossless = findControlAs<QCheckBox>(QStringLiteral("video-split-lossless"));
    m_keyLabel = findControlAs<QLabel>(QStringLiteral("video-split-keyframe"));
    if (m_keyLabel)
        m_keyLabel->hide();
    m_keyFinder = std::make_unique<KeyFrameFinder>(sourcePath());
    connect(m_keyFinder.get(), &KeyFrameFinder::found, this, &VideoSplitDialog::showKeyFrame);
    if (m_lossless) {
        m_lossless->setChecked(LosslessSetting());
        // The user's choice is remembered; the crop unticking the box is not.
        connect(m_lossless, &QCheckBox::clicked, this, [](bool on) {
            WriteSetting(QStringLiteral("global"), kLosslessKey, on ? QStringLiteral("1") : QStringLiteral("0"));
        });
        connect(m_lossless, &QCheckBox::toggled, this, &VideoSplitDialog::setLossless);
    }
    // A typed start and a dragged flag both end up in the start edit.
    if (QLineEdit* start = startEdit())
        connect(start, &QLineEdit::textChanged, this, [this] { lookUpKeyFrame(); });
    setLossless(m_lossless && m_lossless->isChecked());
}

void VideoSplitDialog::setLossless(bool on)
{
    if (m_keyLabel)
        m_keyLabel->setVisible(on);
    if (on)
        lookUpKeyFrame();
}

void VideoSplitDialog::lookUpKeyFrame()
{
    if (!m_lossless || !m_lossless->isChecked() || !m_keyFinder)
        return;
    const std::string start = TrimmedText(startEdit() ? startEdit()->text() : QString());
    if (!IsClockText(start)) {
        if (m_keyLabel)
            m_keyLabel->clear();
        return;
    }
    const int seconds = ParseClock(start);
    if (seconds == m_keyFor) {
        showKeyFrame(m_keyFor, m_keySeconds);
        return;
    }
    m_keyFinder->find(seconds);
}

void VideoSplitDialog::showKeyFrame(int seconds, double keyFrameSeconds)
{
    m_keyFor = seconds;
    m_keySeconds = keyFrameSeconds;
    if (!m_keyLabel || !m_lossless || !m_lossless->isChecked())
        return;
    // An answer for a start the edit no longer holds waits for the one on its way.
    const std::string start = TrimmedText(startEdit() ? startEdit()->text() : QString());
    if (!IsClockText(start) || ParseClock(start) != seconds)
        return;
    m_keyLabel->setText(keyFrameSeconds < 0.0 ? QCoreApplication::translate("VideoSplitDialog", "实际开始 未找到关键帧")
                                              : QCoreApplication::translate("VideoSplitDialog", "实际开始 %1（关键帧）")
                                                    .arg(SecondsText(keyFrameSeconds)));
}

double VideoSplitDialog::keyFrameSeconds() const
{
    const std::string start = TrimmedText(startEdit() ? startEdit()->text() : QString());
    return IsClockText(start) && ParseClock(start) == m_keyFor ? m_keySeconds : -1.0;
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
        clip.lossless = 0;
    } else {
        clip.cropEnabled = 0;
        clip.cropX = 0;
        clip.cropY = 0;
        clip.cropWidth = width;
        clip.cropHeight = height;
        clip.lossless = m_lossless && m_lossless->isChecked() ? 1 : 0;
        // The key frame found for this start; a clip added before the answer came finds
        // it when its job starts.
        if (clip.lossless && IsClockText(clip.startText) && ParseClock(clip.startText) == m_keyFor &&
            m_keySeconds >= 0.0)
            clip.keyFrameSeconds = m_keySeconds;
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
    // A crop needs the picture encoded again: no lossless clip while it is on.
    if (m_lossless) {
        if (m_cropOn)
            m_lossless->setChecked(false);
        m_lossless->setEnabled(!m_cropOn);
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
    m_keyFinder.reset();
    if (m_mask)
        m_mask->hide();
    ClipDialog::onDestroy();
}

}  // namespace tolvex
