#include "ui/clip/ClipDialog.h"

#include "app/Helpers.h"
#include "player/PreviewPlayer.h"
#include "ui/clip/CVideoArea.h"
#include "ui/clip/ClipList.h"
#include "ui/clip/ClipMessages.h"
#include "ui/clip/ClipTimes.h"
#include "ui/clip/PositionPoll.h"
#include "ui/clip/PreviewPlatform.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>

#include <glog/logging.h>

namespace tolvex {

namespace {

double SecondsAt(intptr_t wParam)
{
    // The message's WPARAM carries the timeline's pointer to its seconds.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    const auto* seconds = reinterpret_cast<const double*>(wParam);
    return seconds ? *seconds : 0.0;
}

}  // namespace

ClipDialog::ClipDialog(const Names& names, QObject* mainWindow, MediaItem source)
    : m_names(names),
      m_mainWindow(mainWindow),
      m_source(std::move(source)),
      m_sourcePath(ToNarrowAnsi(m_source.fullPath)),
      m_poll(std::make_unique<PositionPoll>())
{
}

ClipDialog::~ClipDialog()
{
    // Normally done when the window closed; a dialog deleted without closing still stops
    // its threads before its members go.
    m_poll->stop();
    if (m_player) {
        m_player->Close();
        m_player->Destroy();
    }
}

QString ClipDialog::GetSkinFile()
{
    return QString::fromLatin1(m_names.skinFile);
}

QString ClipDialog::getWindowClassName() const
{
    return QString::fromUtf8(m_names.windowClass);
}

QWidget* ClipDialog::createControl(const QString& className, QWidget* parent)
{
    if (className.compare(QLatin1String(m_names.timeline.className), Qt::CaseInsensitive) != 0)
        return nullptr;
    CVideoPaintViewUI* view = m_names.timeline.seekTo == CVideoSplitPaintViewUI::kNames.seekTo
                                  ? static_cast<CVideoPaintViewUI*>(new CVideoSplitPaintViewUI(parent))
                                  : new CVideoGifPaintViewUI(parent);
    view->setDialog(this);
    return view;
}

bool ClipDialog::pollRunning() const
{
    return m_poll->running();
}

void ClipDialog::InitWindow()
{
    m_timeline = findControlAs<CVideoPaintViewUI>(QString::fromLatin1(m_names.timeline.interfaceName));
    m_playerArea = FindControl(QStringLiteral("player-area"));
    m_play = findControlAs<QAbstractButton>(QStringLiteral("play"));
    m_pause = findControlAs<QAbstractButton>(QStringLiteral("pause"));
    m_durationLabel = findControlAs<QLabel>(QStringLiteral("duration"));
    m_sound = findControlAs<QSlider>(QStringLiteral("sound-slider"));
    m_startEdit = findControlAs<QLineEdit>(QString::fromLatin1(m_names.startEdit));
    m_endEdit = findControlAs<QLineEdit>(QString::fromLatin1(m_names.endEdit));
    m_addButton = findControlAs<QAbstractButton>(QString::fromLatin1(m_names.addButton));
    m_clipList = std::make_unique<ClipList>(
        *this, findControlAs<CListUI>(QString::fromLatin1(m_names.list)),
        ClipList::RowNames{m_names.rowSkin, m_names.rowFileName, m_names.rowStart, m_names.rowEnd, m_names.rowRemove},
        [this](const QString& text) { ShowPromptBox(this, text); });
    m_confirm = findControlAs<QAbstractButton>(QString::fromLatin1(m_names.confirmButton));
    m_cancel = findControlAs<QAbstractButton>(QString::fromLatin1(m_names.cancelButton));
    if (m_sound)
        m_sound->setValue(PreviewPlayer::kInitialVolume * 100 / PreviewPlayer::kMaxVolume + 1);

    // The picture's own window, a native child of the dialog kept over "player-area".
    m_area = new CVideoArea(this);
    m_area->setAccessibleName(QCoreApplication::translate("ClipDialog", "视频预览"));
    m_area->hide();
    m_area->installEventFilter(this);

    const double duration = m_source.duration;
    if (m_endEdit)
        m_endEdit->setText(SecondsText(duration));
    if (m_timeline)
        m_timeline->SetDuration(std::max(0.0, duration));
    // Enter in a time edit must not reach a button.
    for (QLineEdit* edit : {m_startEdit, m_endEdit}) {
        if (edit)
            edit->installEventFilter(this);
    }
}

void ClipDialog::showEvent(QShowEvent* event)
{
    WindowImplBase::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // After the first layout, so the video area gets its real place and size.
    QTimer::singleShot(0, this, [this] {
        if (!isClosed())
            startPlayback();
    });
}

void ClipDialog::startPlayback()
{
    placeWindows();
    if (!PreviewCanShowPicture() && m_playerArea) {
        m_notice = new QLabel(PreviewNeedsX11Notice(), m_playerArea);
        m_notice->setObjectName(QStringLiteral("preview-notice"));
        m_notice->setAlignment(Qt::AlignCenter);
        m_notice->setWordWrap(true);
        m_notice->setStyleSheet(QStringLiteral("color: #c8d2e6; background: transparent;"));
        m_notice->setGeometry(m_playerArea->rect());
        m_notice->show();
    }
    m_player = std::make_unique<PreviewPlayer>(m_area);
    m_player->setNotifyAtEnd(true);
    const char* finishLine = m_names.finishLine;
    m_player->SetEndOfMediaCallback(
        [finishLine](void* user) {
            VLOG(1) << finishLine;
            PostMessageTo(static_cast<QObject*>(user), WM_PLAYER_FINISHED);
        },
        static_cast<QObject*>(this));
    if (m_sound)
        m_player->SetVolume(m_sound->value() * PreviewPlayer::kMaxVolume / 100);
    if (PreviewCanShowPicture()) {
        m_area->show();
        m_area->raise();
    }
    showPlay(false);
    m_stopped = false;
    m_player->Open(m_sourcePath);
    m_poll->start(m_player.get(), this);
}

void ClipDialog::showPlay(bool playVisible)
{
    if (m_play)
        m_play->setVisible(playVisible);
    if (m_pause)
        m_pause->setVisible(!playVisible);
    // Keyboard users keep their place on the play/pause pair.
    QAbstractButton* shown = playVisible ? m_play : m_pause;
    QAbstractButton* hidden = playVisible ? m_pause : m_play;
    if (shown && hidden && hidden->hasFocus())
        shown->setFocus();
}

void ClipDialog::resizeEvent(QResizeEvent* event)
{
    WindowImplBase::resizeEvent(event);
    if (m_started)
        placeWindows();
}

QRect ClipDialog::playerAreaRect() const
{
    if (!m_playerArea)
        return {};
    return QRect(m_playerArea->mapTo(this, QPoint(0, 0)), m_playerArea->size());
}

void ClipDialog::placeVideoArea()
{
    if (!m_area || !m_playerArea)
        return;
    const QRect r = playerAreaRect();
    m_area->SetWidth(r.x(), r.y(), r.width());
    m_area->SetHeight(r.x(), r.y(), r.height());
    if (m_notice)
        m_notice->setGeometry(m_playerArea->rect());
}

void ClipDialog::placeWindows()
{
    placeVideoArea();
}

void ClipDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Close(0);
        return;
    }
    WindowImplBase::keyPressEvent(event);
}

bool ClipDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area) {
        // The window system uncovered part of the picture (the crop overlay changed its
        // shape): the player draws its last picture again, also while paused.
        if (event->type() == QEvent::Paint && m_player)
            m_player->redraw();
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter in a time edit only confirms the text: it adds nothing.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true;
    }
    return WindowImplBase::eventFilter(watched, event);
}

void ClipDialog::Notify(TNotifyUI& msg)
{
    QWidget* sender = msg.sender;
    if (msg.type == QLatin1String("click") && sender) {
        if (sender == m_play) {
            if (m_player) {
                showPlay(false);
                m_stopped = false;
                m_player->Resume();
            }
        } else if (sender == m_pause) {
            m_stopped = true;
            showPlay(true);
            if (m_player)
                m_player->Pause();
        } else if (sender == m_addButton) {
            add();
        } else if (sender == m_confirm) {
            confirm();
        } else if (sender == m_cancel) {
            Close(0);
        } else if (!m_clipList || !m_clipList->removeRowOf(sender)) {
            onOtherClick(sender);
        }
    } else if (msg.type == QLatin1String("valuechanged") && sender == m_sound) {
        if (m_player)
            m_player->SetVolume(static_cast<int>(msg.wParam) * PreviewPlayer::kMaxVolume / 100);
    }
    WindowImplBase::Notify(msg);
}

bool ClipDialog::HandleCustomMessage(MessageEvent& message)
{
    const int number = message.number();
    if (number == m_names.timeline.startChanged) {
        if (m_startEdit)
            m_startEdit->setText(SecondsText(SecondsAt(message.wParam())));
        return true;
    }
    if (number == m_names.timeline.endChanged) {
        if (m_endEdit)
            m_endEdit->setText(SecondsText(SecondsAt(message.wParam())));
        return true;
    }
    if (number == m_names.timeline.seekTo) {
        seekTo(SecondsAt(message.wParam()));
        return true;
    }
    if (number == WM_PLAYER_POSITION) {
        const auto* pair = message.recordAs<PlayerPositionRecord>();
        if (!pair || isClosed())
            return true;
        m_polledDuration = pair->duration;
        // Paused after a seek, the place sought is shown until playing goes on: the player's
        // clock moves only with the next picture it plays.
        const bool holdSeek = m_pausedSeek >= 0.0 && m_player && m_player->paused();
        if (!holdSeek)
            m_pausedSeek = -1.0;
        const double position = holdSeek ? m_pausedSeek : pair->position;
        if (m_timeline) {
            m_timeline->SetDuration(pair->duration);
            m_timeline->setPosition(position);
        }
        if (m_durationLabel)
            m_durationLabel->setText(SecondsText(position) + QStringLiteral(" / ") + SecondsText(pair->duration));
        return true;
    }
    if (number == WM_PLAYER_FINISHED) {
        if (isClosed() || !m_player)
            return true;
        m_stopped = true;
        showPlay(true);
        m_player->Pause();
        return true;
    }
    return WindowImplBase::HandleCustomMessage(message);
}

void ClipDialog::seekTo(double seconds)
{
    if (!m_player)
        return;
    m_player->Seek(seconds);
    if (m_player->paused() && m_timeline) {
        m_pausedSeek = seconds;
        // Paused, the position shows the new place at once instead of at the next frame.
        m_timeline->setPosition(seconds);
        if (m_durationLabel)
            m_durationLabel->setText(SecondsText(seconds) + QStringLiteral(" / ") +
                                     SecondsText(m_timeline->duration()));
    }
}

const std::vector<SplitClip>& ClipDialog::clips() const
{
    static const std::vector<SplitClip> none;
    return m_clipList ? m_clipList->clips() : none;
}

void ClipDialog::setPrompt(Prompt prompt)
{
    if (m_clipList)
        m_clipList->setPrompt([this, prompt = std::move(prompt)](const QString& text) { prompt(this, text); });
}

void ClipDialog::add()
{
    if (!m_clipList)
        return;
    ClipList::Draft draft;
    draft.sourcePath = m_sourcePath;
    draft.fileSeconds = m_source.duration;
    draft.equalTimesPrompt = equalTimesPrompt();
    draft.outputName = outputNameFor(QTime::currentTime());
    draft.fill = [this](SplitClip& clip) { fillCrop(clip); };
    m_clipList->add(TrimmedText(m_startEdit ? m_startEdit->text() : QString()),
                    TrimmedText(m_endEdit ? m_endEdit->text() : QString()), draft);
}

void ClipDialog::confirm()
{
    handOver(clips());
    PostMessageTo(m_mainWindow.data(), m_names.handOver);
    Close(1);
}

void ClipDialog::onDestroy()
{
    m_poll->stop();
    if (m_player) {
        m_player->Close();
        m_player->Destroy();
        m_player.reset();
    }
    if (m_clipList)
        m_clipList->clear();
}

void ClipDialog::OnFinalMessage()
{
    delete this;
}

}  // namespace tolvex
