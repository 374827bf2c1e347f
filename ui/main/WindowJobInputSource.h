#pragma once

// The job settings that live in the main window's controls, read for a page worker. The
// controls belong to the UI thread, so a worker's question is carried to the UI thread as
// a queued call and the worker waits for the answer; no lock is held on either side while
// it waits. shutdown() releases every waiting worker at once (with an empty answer), so
// the window can stop the engine while a worker is mid-question.
//
// Thread use: the questions may come from any thread (on the UI thread they are answered
// directly); construct, shut down and destroy on the UI thread.

#include "tasks/JobInputs.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tolvex {

class WindowJobInputSource : public JobInputSource {
public:
    // `window`: the window holding the page lists and page controls.
    explicit WindowJobInputSource(QWidget* window);
    ~WindowJobInputSource() override;

    std::optional<ConvertSettings> convertSettings(TaskId taskId) override;
    std::optional<CompressSettings> compressSettings(TaskId taskId) override;
    std::optional<RotateSettings> rotateSettings(TaskId taskId) override;
    ExtractSettings extractSettings() override;
    MuteSettings muteSettings() override;
    MusicSettings musicSettings() override;
    QString outputFolder() override;
    void shutdown() override;

    // The readers themselves, UI thread only: what the controls hold now.
    static std::optional<ConvertSettings> readConvertSettings(QWidget* window, TaskId taskId);
    static std::optional<CompressSettings> readCompressSettings(QWidget* window, TaskId taskId);
    static std::optional<RotateSettings> readRotateSettings(QWidget* window, TaskId taskId);
    static ExtractSettings readExtractSettings(QWidget* window);
    static MuteSettings readMuteSettings(QWidget* window);
    static MusicSettings readMusicSettings(QWidget* window);

private:
    struct Channel;
    // Runs `read` on the UI thread and returns its answer; `fallback` when the source was
    // shut down or the window is gone.
    template <class T>
    T ask(std::function<T(QWidget*)> read, T fallback);

    QPointer<QWidget> m_window;
    std::shared_ptr<Channel> m_channel;
};

}  // namespace tolvex
