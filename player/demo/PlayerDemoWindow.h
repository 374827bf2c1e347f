#pragma once

#include <QWidget>

#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace tolvex {

class CVideoArea;
class PreviewPlayer;

// A small window that plays one file with the preview player: play/pause, a position
// slider that seeks, and a volume slider. Lives on the UI thread; the player's end
// callback comes from its read thread and is forwarded to the UI thread.
class PlayerDemoWindow : public QWidget {
public:
    explicit PlayerDemoWindow(QWidget* parent = nullptr);
    ~PlayerDemoWindow() override;

    // Opens the file and starts playing; false when the player refuses it.
    bool open(const std::string& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void togglePlay();
    void seekToSlider();
    void poll();
    void onEndOfMedia();
    void updatePlayButton();

    CVideoArea* m_area;
    QPushButton* m_playButton;
    QSlider* m_position;
    QSlider* m_volume;
    QLabel* m_time;
    QTimer* m_poll;
    std::unique_ptr<PreviewPlayer> m_player;
};

}  // namespace tolvex
