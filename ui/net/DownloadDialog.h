#pragma once

// The installer download: a percentage ("download-text", "%d%%"), a slider showing it
// ("download-slider", 0-100) and a "cancel" button, over a worker thread that downloads the
// URL into the Temp folder (HttpDownload).
//
// Complete: the file is opened with the desktop's default handler and the program ends with
// code 0; when the desktop cannot open it, "升级失败" is logged and the dialog closes.
// Cancel: the dialog closes and the unfinished file is deleted; for a forced update the
// program ends with code 0. A failed or short download is deleted, logged, told to the
// user, and the dialog closes. Without a length the label shows the bytes received and the
// slider sweeps to show the transfer is alive.
//
// Created on the heap, run modally (Open), deletes itself after its final message.
// Thread use: the dialog lives on the UI thread. Its worker only downloads and posts its
// progress and its end to the dialog; the dialog sets the worker's cancel flag and joins it
// when its window closes (within about a second), so the worker never outlives it.

#include "app/PostedMessage.h"
#include "net/HttpDownload.h"
#include "ui/framework/WindowImplBase.h"

#include <QPointer>

#include <atomic>
#include <string>
#include <thread>

class QAbstractButton;
class QLabel;
class QSlider;

namespace tolvex {

class DownloadDialog : public WindowImplBase {
    Q_OBJECT

public:
    // Messages the worker posts to the dialog.
    static constexpr int kProgressMessage = 1801;
    static constexpr int kFinishedMessage = 1802;

    // `folder`: where the file goes (the Temp folder).
    DownloadDialog(QWidget* owner, std::string url, bool forced, QString folder);
    ~DownloadDialog() override;

    // Creates the dialog over `owner`, centres it and runs it modally until it closes.
    static void Open(QWidget* owner, const std::string& url, bool forced);
    // The dialog of the download in progress, if any (tests, screenshots).
    static DownloadDialog* current();

    int lastPercent() const { return m_lastPercent; }

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    bool HandleCustomMessage(MessageEvent& message) override;
    void onDestroy() override;
    void OnFinalMessage() override;

private:
    void showProgress(const DownloadProgress& progress);
    void finish(DownloadOutcome outcome);
    void stopWorker();

    QPointer<QWidget> m_owner;
    std::string m_url;
    bool m_forced = false;
    QString m_folder;
    QLabel* m_text = nullptr;
    QSlider* m_slider = nullptr;
    QAbstractButton* m_cancel = nullptr;
    int m_lastPercent = 0;
    bool m_finished = false;

    std::atomic<bool> m_cancelled{false};
    std::thread m_worker;  // joined before the dialog goes
    QString m_target;
};

}  // namespace tolvex
