#pragma once

// The desktop notice of finished work: when a page's queue runs empty while the window is
// minimised or hidden in the tray, the tray icon (or, on a desktop without a system tray,
// the freedesktop notification service) shows "3 个文件已完成" (failures counted
// too); clicking the notice opens the output folder. Told by ProgressView when a job ends
// and by the window's task host when a page turns busy or idle.
// UI thread only.

#include "tasks/TaskTypes.h"
#include "ui/main/FinishTally.h"
#include "ui/main/MainWndHandler.h"

#include <QMetaObject>
#include <QString>

#include <memory>
#include <optional>

namespace tolvex {

class DesktopNotifications;

class FinishNotice : public MainWndHandler {
public:
    struct Notice {
        PageKind page = PageKind::Convert;
        FinishTally::Count count;
        QString title;
        QString text;
        QString folder;  // the output folder when the queue ran empty
    };

    FinishNotice();
    ~FinishNotice() override;

    void attach(CMainWnd& window) override;

    void onJobEnded(PageKind page, bool failed);
    void onPageBusy(PageKind page, bool busy);

    // "3 个文件已完成", "2 个文件已完成，1 个失败" (translated).
    static QString noticeText(const FinishTally::Count& count);
    // The notice posted last (also while no tray is there to show it).
    const std::optional<Notice>& lastNotice() const { return m_last; }
    // What clicking the notice does: opens the folder of the last notice.
    void openNoticeFolder() const;
    // The session-bus notices used where no system tray is there (made on the first such
    // notice).
    DesktopNotifications* desktopNotices() const { return m_desktopNotices.get(); }

private:
    bool windowIsAway() const;
    void post(PageKind page, const FinishTally::Count& count);

    CMainWnd* m_window = nullptr;
    FinishTally m_tally;
    std::optional<Notice> m_last;
    QMetaObject::Connection m_clickConnection;
    std::unique_ptr<DesktopNotifications> m_desktopNotices;
};

}  // namespace tolvex
