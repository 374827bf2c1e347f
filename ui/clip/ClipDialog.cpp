#include "ui/clip/ClipDialog.h"

#include "app/Helpers.h"
#include "media/MediaProbe.h"
#include "player/PreviewPlayer.h"
#include "ui/clip/CVideoArea.h"
#include "ui/clip/ClipMessages.h"
#include "ui/clip/ClipTimes.h"
#include "ui/clip/PositionPoll.h"
#include "ui/clip/PreviewPlatform.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"

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

ClipDialog::ClipDialog(const Names& names, QObject* mainWindow, std::string sourcePath)
    : m_names(names),
      m_mainWindow(mainWindow),
      m_sourcePath(std::move(sourcePath)),
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
    m_list = findControlAs<CListUI>(QString::fromLatin1(m_names.list));
    m_confirm = findControlAs<QAbstractButton>(QString::fromLatin1(m_names.confirmButton));
    m_cancel = findControlAs<QAbstractButton>(QString::fromLatin1(m_names.cancelButton));
    if (m_sound)
        m_sound->setValue(PreviewPlayer::kInitialVolume * 100 / PreviewPlayer::kMaxVolume + 1);

    // The picture's own window, a native child of the dialog kept over "player-area".
    m_area = new CVideoArea(this);
    m_area->setAccessibleName(QCoreApplication::translate("ClipDialog", "视频预览"));
    m_area->hide();
    m_area->installEventFilter(this);

    const double duration = ProbeDurationSeconds(m_sourcePath);
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
        const QString name = sender->objectName();
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
        } else if (name == QLatin1String(m_names.rowRemove)) {
            removeRow(sender);
        } else if (sender == m_confirm) {
            confirm();
        } else if (sender == m_cancel) {
            Close(0);
        } else {
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

void ClipDialog::showPrompt(const QString& text)
{
    if (m_prompt)
        m_prompt(this, text);
    else
        ShowPromptBox(this, text);
}

void ClipDialog::add()
{
    const std::string start = TrimmedText(m_startEdit ? m_startEdit->text() : QString());
    const std::string end = TrimmedText(m_endEdit ? m_endEdit->text() : QString());
    const QString problem = CheckClipTimes(start, end, ProbeDurationSeconds(m_sourcePath), equalTimesPrompt());
    if (!problem.isEmpty()) {
        showPrompt(problem);
        return;
    }

    SplitClip clip;
    clip.itemId = m_nextItemId;
    clip.sourcePath = m_sourcePath;
    clip.outputName = uniqueOutputName(outputNameFor(QTime::currentTime()));
    clip.startText = start;
    clip.endText = end;
    fillCrop(clip);
    for (const SplitClip& listed : m_clips) {
        if (listed.startText == clip.startText && listed.endText == clip.endText) {
            showPrompt(QCoreApplication::translate("ClipDialog", "该片段已存在列表中!"));
            return;
        }
    }

    m_clips.push_back(clip);
    if (m_list) {
        if (QWidget* row = buildFromSkin(QString::fromLatin1(m_names.rowSkin), m_list->itemParent())) {
            row->setObjectName(QStringLiteral("item-%1").arg(clip.itemId));
            SetControlTag(row, clip.itemId);
            SetControlText(FindSubControl(row, QString::fromLatin1(m_names.rowFileName)), ToWideAnsi(clip.outputName));
            SetControlText(FindSubControl(row, QString::fromLatin1(m_names.rowStart)), ToWideAnsi(clip.startText));
            SetControlText(FindSubControl(row, QString::fromLatin1(m_names.rowEnd)), ToWideAnsi(clip.endText));
            if (QWidget* remove = FindSubControl(row, QString::fromLatin1(m_names.rowRemove))) {
                SetControlTag(remove, clip.itemId);
                remove->setAccessibleName(QCoreApplication::translate("ClipDialog", "删除片段 %1 - %2")
                                              .arg(ToWideAnsi(clip.startText), ToWideAnsi(clip.endText)));
            }
            m_list->addItem(row);
        }
    }
    ++m_nextItemId;
}

std::string ClipDialog::uniqueOutputName(const std::string& name) const
{
    // Names carry the time to the second; two clips added within one second would write the
    // same file, the second job replacing the first clip. The later one gets a number.
    auto taken = [this](const std::string& candidate) {
        for (const SplitClip& clip : m_clips) {
            if (clip.outputName == candidate)
                return true;
        }
        return false;
    };
    if (!taken(name))
        return name;
    const size_t dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        std::string candidate = stem + "-" + std::to_string(n) + extension;
        if (!taken(candidate))
            return candidate;
    }
}

void ClipDialog::removeRow(QWidget* button)
{
    const qint64 id = ControlTag(button);
    for (auto it = m_clips.begin(); it != m_clips.end(); ++it) {
        if (it->itemId == id) {
            m_clips.erase(it);
            break;
        }
    }
    if (m_list) {
        if (QWidget* row = m_list->findItem(QStringLiteral("item-%1").arg(id)))
            m_list->removeItem(row);
    }
}

void ClipDialog::confirm()
{
    handOver(m_clips);
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
    m_clips.clear();
}

void ClipDialog::OnFinalMessage()
{
    delete this;
}

}  // namespace tolvex
