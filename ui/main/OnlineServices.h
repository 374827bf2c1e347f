#pragma once

// The main window's online services:
//   - at start-up, on threads of their own: the update check (silent unless a newer release
//     is found), the account loader, and the public address query while none is stored;
//   - WM_CHECK_UPGRADE (the tray's "检查更新"): the same check, on a thread, telling the
//     user also when there is nothing new; the window shows a busy cursor meanwhile and
//     a second request while one runs is ignored;
//   - the header button "feedback" and WM_OPEN_FEEDBACK: the feedback form.
// A check's outcome comes back as WM_UPDATE_CHECKED, so its boxes and the download dialog
// are made on the UI thread. Only one offer is on screen at a time.
//
// Thread use: the handler lives on the UI thread. Its threads never touch a widget: they
// post WM_UPDATE_CHECKED, write the settings file or fill the AccountState. Closing the
// window aborts their requests and joins them.

#include "net/AccountStore.h"
#include "net/ServiceThreads.h"
#include "net/UpdateCheck.h"
#include "ui/main/MainWndHandler.h"

#include <QPointer>

#include <memory>

namespace tolvex {

// The record of WM_UPDATE_CHECKED.
struct UpdateCheckedRecord : MessageRecord {
    bool interactive = false;
    UpdateCheckResult result;
};

class OnlineServices : public MainWndHandler {
public:
    OnlineServices();
    ~OnlineServices() override;

    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;
    bool onMessage(MessageEvent& message) override;

    const AccountState& account() const { return *m_account; }
    // True while a check the user asked for runs.
    bool checkRunning() const { return m_checkRunning; }
    // Threads of the services that have not finished yet.
    int runningThreads() { return m_threads.runningCount(); }

private:
    void startStartUpThreads();
    void startUpdateCheck(bool interactive);
    void showCheckOutcome(const UpdateCheckedRecord& record);
    void openFeedback();

    QPointer<CMainWnd> m_window;
    std::shared_ptr<AccountState> m_account;
    ServiceThreads m_threads;
    bool m_checkRunning = false;
    bool m_offering = false;
};

}  // namespace tolvex
