#pragma once

// What the split and the GIF dialog share: one source file played in the preview player
// over the dialog's video area, a timeline with start and end flags, two time edits, the
// position poll, the end-of-file handling, the clip list (ClipList: its rows, the add
// procedure with its prompts, the clips' names) and the hand-over of the confirmed clips
// to the main window. VideoSplitDialog adds the crop rectangle; VideoGifDialog makes GIF
// names.
//
// Life: created on the heap and run modally; the player opens when the dialog is first
// shown and playback starts at once. Closing (confirm, cancel, Escape, the window's close
// button) stops the position poll, closes the player and frees the clips before the window
// goes; the dialog deletes itself after its final message.
//
// Threads: everything runs on the UI thread, except the player's end-of-file callback
// (read thread), which only posts WM_PLAYER_FINISHED, and the position poll, which only
// reads the player and posts WM_PLAYER_POSITION.

#include "tasks/ClipRecords.h"
#include "tasks/MediaItem.h"
#include "ui/clip/CVideoPaintViewUI.h"
#include "ui/framework/WindowImplBase.h"

#include <QPointer>
#include <QTime>

#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QSlider;

namespace tolvex {

class ClipList;
class CVideoArea;
class PositionPoll;
class PreviewPlayer;

class ClipDialog : public WindowImplBase {
    Q_OBJECT

public:
    struct Names {
        const char* windowClass;
        const char* skinFile;
        const char* startEdit;
        const char* endEdit;
        const char* addButton;
        const char* list;
        const char* confirmButton;
        const char* cancelButton;
        const char* rowSkin;
        const char* rowFileName;
        const char* rowStart;
        const char* rowEnd;
        const char* rowRemove;
        const char* finishLine;
        int handOver;
        CVideoPaintViewUI::Names timeline;
    };

    // `source` is the file as the import probed it (its duration, picture and turn): the
    // dialog never probes on the window's thread.
    ClipDialog(const Names& names, QObject* mainWindow, MediaItem source);
    ~ClipDialog() override;

    // The clips of the list, in order (GIF clips use the first five fields).
    const std::vector<SplitClip>& clips() const;
    PreviewPlayer* player() const { return m_player.get(); }
    CVideoPaintViewUI* timeline() const { return m_timeline; }
    CVideoArea* videoArea() const { return m_area; }
    QLineEdit* startEdit() const { return m_startEdit; }
    QLineEdit* endEdit() const { return m_endEdit; }
    bool pollRunning() const;
    bool stopped() const { return m_stopped; }
    const std::string& sourcePath() const { return m_sourcePath; }
    const MediaItem& source() const { return m_source; }
    // The player's duration as the position poll last reported it.
    double polledDuration() const { return m_polledDuration; }

    // Shows a prompt with `text` over the dialog (replaceable, for tests).
    using Prompt = std::function<void(QWidget* owner, const QString& text)>;
    void setPrompt(Prompt prompt);

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    bool HandleCustomMessage(MessageEvent& message) override;
    QWidget* createControl(const QString& className, QWidget* parent) override;
    void onDestroy() override;
    void OnFinalMessage() override;

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The dialog-specific parts of an added clip: its output name and, for splitting, the crop.
    virtual std::string outputNameFor(const QTime& now) const = 0;
    virtual void fillCrop(SplitClip& clip) const {}
    // Appends copies of the clips to the process-wide hand-over list.
    virtual void handOver(const std::vector<SplitClip>& clips) = 0;
    // The prompt for equal start and end texts.
    virtual QString equalTimesPrompt() const = 0;
    // A click the base does not handle (the crop button).
    virtual void onOtherClick(QWidget* sender) {}
    // Places the video area (and any overlay) over "player-area" after a size change.
    virtual void placeWindows();
    void placeVideoArea();
    // "player-area" in dialog coordinates (empty without one).
    QRect playerAreaRect() const;
    QWidget* playerArea() const { return m_playerArea; }

private:
    void startPlayback();
    void showPlay(bool playVisible);
    void add();
    void confirm();
    void seekTo(double seconds);

    Names m_names;
    QPointer<QObject> m_mainWindow;
    MediaItem m_source;
    std::string m_sourcePath;

    CVideoPaintViewUI* m_timeline = nullptr;
    QWidget* m_playerArea = nullptr;
    QAbstractButton* m_play = nullptr;
    QAbstractButton* m_pause = nullptr;
    QLabel* m_durationLabel = nullptr;
    QSlider* m_sound = nullptr;
    QLineEdit* m_startEdit = nullptr;
    QLineEdit* m_endEdit = nullptr;
    QAbstractButton* m_addButton = nullptr;
    QAbstractButton* m_confirm = nullptr;
    QAbstractButton* m_cancel = nullptr;
    QLabel* m_notice = nullptr;
    CVideoArea* m_area = nullptr;

    std::unique_ptr<PreviewPlayer> m_player;
    std::unique_ptr<PositionPoll> m_poll;
    bool m_started = false;
    bool m_stopped = false;
    double m_polledDuration = 0.0;
    double m_pausedSeek = -1.0;  // the place sought while paused, shown until playing
    std::unique_ptr<ClipList> m_clipList;
};

}  // namespace tolvex
