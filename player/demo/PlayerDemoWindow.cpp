#include "player/demo/PlayerDemoWindow.h"

#include "app/Helpers.h"
#include "player/PreviewPlayer.h"
#include "ui/clip/CVideoArea.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace tolvex {

PlayerDemoWindow::PlayerDemoWindow(QWidget* parent)
    : QWidget(parent),
      m_area(new CVideoArea(this)),
      m_playButton(new QPushButton(QStringLiteral("Pause"), this)),
      m_position(new QSlider(Qt::Horizontal, this)),
      m_volume(new QSlider(Qt::Horizontal, this)),
      m_time(new QLabel(QStringLiteral("00:00:00 / 00:00:00"), this)),
      m_poll(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Tolvex preview player"));
    m_area->setMinimumSize(320, 180);
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setRange(0, 0);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, PreviewPlayer::kMaxVolume);
    m_volume->setValue(PreviewPlayer::kInitialVolume);
    m_volume->setMaximumWidth(120);
    m_volume->setToolTip(QStringLiteral("Volume"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_playButton);
    controls->addWidget(m_position, 1);
    controls->addWidget(m_time);
    controls->addWidget(new QLabel(QStringLiteral("Vol"), this));
    controls->addWidget(m_volume);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_area, 1);
    layout->addLayout(controls);

    connect(m_playButton, &QPushButton::clicked, this, &PlayerDemoWindow::togglePlay);
    connect(m_position, &QSlider::sliderReleased, this, &PlayerDemoWindow::seekToSlider);
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        if (m_player)
            m_player->SetVolume(value);
    });
    connect(m_poll, &QTimer::timeout, this, &PlayerDemoWindow::poll);
    resize(800, 520);
}

PlayerDemoWindow::~PlayerDemoWindow()
{
    if (m_player) {
        m_player->Close();
        m_player->Destroy();
    }
}

bool PlayerDemoWindow::open(const std::string& path)
{
    m_player = std::make_unique<PreviewPlayer>(m_area);
    m_player->SetVolume(m_volume->value());
    QPointer<PlayerDemoWindow> self(this);
    m_player->SetEndOfMediaCallback(
        [self](void*) {
            // Read thread: hand over to the UI thread.
            QMetaObject::invokeMethod(
                self.data(),
                [self] {
                    if (self)
                        self->onEndOfMedia();
                },
                Qt::QueuedConnection);
        },
        this);
    m_player->setNotifyAtEnd(true);
    if (m_player->Open(path) != 0) {
        m_player.reset();
        m_time->setText(QStringLiteral("cannot play this file"));
        return false;
    }
    m_position->setRange(0, static_cast<int>(std::lround(m_player->Duration() * 1000)));
    m_poll->start(100);
    updatePlayButton();
    return true;
}

void PlayerDemoWindow::closeEvent(QCloseEvent* event)
{
    m_poll->stop();
    if (m_player)
        m_player->Close();
    event->accept();
}

void PlayerDemoWindow::togglePlay()
{
    if (!m_player)
        return;
    if (m_player->state() == PreviewPlayer::StatePaused) {
        // Played to the end: start again from the beginning.
        if (m_player->CurrentPosition() >= m_player->Duration() - 0.1)
            m_player->Seek(0.0);
        m_player->Resume();
    } else {
        m_player->Pause();
    }
    updatePlayButton();
}

void PlayerDemoWindow::seekToSlider()
{
    if (m_player)
        m_player->Seek(m_position->value() / 1000.0);
}

void PlayerDemoWindow::poll()
{
    if (!m_player)
        return;
    const double position = m_player->CurrentPosition();
    const double duration = m_player->Duration();
    if (!m_position->isSliderDown())
        m_position->setValue(static_cast<int>(std::lround(position * 1000)));
    m_time->setText(QString::fromStdString(FormatClock(static_cast<int32_t>(position))) + QStringLiteral(" / ") +
                    QString::fromStdString(FormatClock(static_cast<int32_t>(std::lround(duration)))));
}

void PlayerDemoWindow::onEndOfMedia()
{
    // As the clip dialogs do: stop at the end and wait for the user.
    if (m_player && m_player->state() == PreviewPlayer::StatePlaying) {
        m_player->Pause();
        updatePlayButton();
    }
}

void PlayerDemoWindow::updatePlayButton()
{
    const bool paused = m_player && m_player->state() == PreviewPlayer::StatePaused;
    m_playButton->setText(paused ? QStringLiteral("Play") : QStringLiteral("Pause"));
}

}  // namespace tolvex
