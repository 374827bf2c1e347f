#pragma once

// The installer download: a percentage ("download-text", "%d%%"), a slider showing it
// ("download-slider", 0-100) and a "cancel" button, over a worker thread that downloads the
// URL into the process's temp folder (HttpDownload, with the update answer's SHA-256 when
// it gave one).
//
// Complete: the file moves to the shared Temp folder (the process's own goes when the
// program ends) and is opened with the desktop's default handler; the program then ends
// through the main window's quit (WM_APP_QUIT to the owner), which stops running jobs and
// deletes their partial files. When the desktop cannot open it, the user is told where it
// is ("安装包已下载到 …，请手动打开"), the file stays, and the program goes on (a forced
// update ends it then). Cancel: the dialog closes and the unfinished file is deleted; for a
// forced update the program ends the same way. A failed, short or refused download is
// deleted, logged, told to the user ("升级失败"), and the dialog closes. Without a length
// the label shows the bytes received and the slider sweeps to show the transfer is alive.
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

    // `owner`: the main window, which ends the program. `folder`: where the file is written
    // (the process's temp folder); `keepFolder`: where a complete one is kept (Temp).
    // `sha256`: the digest the file must have; empty: not checked.
    DownloadDialog(QWidget* owner, std::string url, bool forced, QString folder, QString keepFolder,
                   std::string sha256 = {});
    ~DownloadDialog() override;

    // Creates the dialog over `owner`, centres it and runs it modally until it closes.
    static void Open(QWidget* owner, const std::string& url, bool forced, const std::string& sha256 = {});
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
    void openInstaller();
    void endProgram();
    void stopWorker();

    QPointer<QWidget> m_owner;
    std::string m_url;
    bool m_forced = false;
    QString m_folder;
    QString m_keepFolder;
    std::string m_sha256;
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
