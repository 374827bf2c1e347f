#pragma once

// The program's single top-level window: header, nine task pages in "main-tab", the page
// lists, the page options, the output folder box and one start button per page.
//
// CMainWnd is a dispatcher. It finds the frame's controls, owns the state every page
// shares (task id counter, media items, channel string, temporary folder) and routes:
//   - each notification to the one handler registered for its type and sender name,
//     then to the framework's default handling (window buttons);
//   - each posted message to the one handler registered for its number.
// Page behaviour lives in MainWndHandler classes in their own files under ui/main/,
// added by InstallMainWndHandlers (MainWndHandlers.cpp). To add behaviour, write a
// handler that registers its routes in Attach and add it there.
//
// Shutdown: closing the window runs the registered shutdown steps in order (tray icon
// removal, the task engine's StopAllJobs, ...), then deletes the process's own temp
// folder (thumbnails, pass logs, unfinished downloads); its final message ends the event
// loop with code 0 and deletes the window object, whose engine joins the readers of the
// stopped jobs (their partial files are gone by then).
// Thread use: UI thread only; other threads post messages (PostMessageTo).

#include "tasks/MediaItem.h"
#include "tasks/TaskTypes.h"
#include "ui/framework/WindowImplBase.h"
#include "ui/main/ExtractFormatList.h"
#include "ui/main/MainWndHandler.h"

#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QStackedWidget;

namespace tolvex {

class CListUI;
class PageTasks;

class CMainWnd : public WindowImplBase {
    Q_OBJECT

public:
    CMainWnd();
    ~CMainWnd() override;

    // Handlers and routes.
    void addHandler(std::unique_ptr<MainWndHandler> handler);
    // Routes notifications of `type` from the control named `senderName` to `handler`.
    void routeNotify(const QString& type, const QString& senderName, MainWndHandler* handler);
    // Routes posted message `number` to `handler`.
    void routeMessage(int number, MainWndHandler* handler);
    // The handler of class T, or null (tests and handlers that work with another one).
    template <class T>
    T* handler() const
    {
        for (const auto& handler : m_handlers) {
            if (auto* found = dynamic_cast<T*>(handler.get()))
                return found;
        }
        return nullptr;
    }
    // A step of the window's shutdown clean-up, run in the order added.
    void addShutdownStep(std::function<void()> step);
    // Sees every notification after its handler (the queue journal notes what changed).
    void addNotifyObserver(std::function<void(const TNotifyUI&)> observer);

    // Controls of the frame (null when the skin lacks them).
    QStackedWidget* mainTab() const { return m_mainTab; }
    CListUI* pageList(PageKind page) const { return m_lists[index(page)]; }
    QAbstractButton* pageSelector(PageKind page) const { return m_selectors[index(page)]; }
    QAbstractButton* startButton(PageKind page) const { return m_startButtons[index(page)]; }
    QLineEdit* outputFolderEdit() const { return m_outputDirEdit; }

    // Shows page `page` in "main-tab" and only that page's start button.
    void selectPage(PageKind page);
    PageKind currentPage() const;
    // Busy: the start button ignores the mouse and shows its busy text; idle: idle text.
    void setPageBusy(PageKind page, bool busy);

    // Shared state.
    TaskId newTaskId() { return m_nextTaskId++; }
    MediaItemTable& mediaItems() { return m_mediaItems; }
    const std::string& agent() const { return m_agent; }
    const QString& tempFolderPath() const { return m_tempFolder; }
    // The task engine, its tables and its workers (made in Init).
    PageTasks& tasks() { return *m_tasks; }

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    bool HandleCustomMessage(MessageEvent& message) override;
    void onDestroy() override;
    void OnFinalMessage() override;

private:
    static size_t index(PageKind page) { return static_cast<size_t>(page); }
    void findFrameControls();

    QStackedWidget* m_mainTab = nullptr;
    QLineEdit* m_outputDirEdit = nullptr;
    std::array<CListUI*, kPageCount> m_lists{};
    std::array<QAbstractButton*, kPageCount> m_selectors{};
    std::array<QAbstractButton*, kPageCount> m_startButtons{};

    std::vector<std::unique_ptr<MainWndHandler>> m_handlers;
    std::map<std::pair<QString, QString>, MainWndHandler*> m_notifyRoutes;
    std::map<int, MainWndHandler*> m_messageRoutes;
    std::vector<std::function<void()>> m_shutdownSteps;
    std::vector<std::function<void(const TNotifyUI&)>> m_notifyObservers;

    TaskId m_nextTaskId = 0;
    MediaItemTable m_mediaItems;
    std::string m_agent;
    QString m_tempFolder;  // this process's own subfolder of Temp
    ExtractFormatList m_extractFormats;
    // Last, so it goes first: the engine's workers read the tables above.
    std::unique_ptr<PageTasks> m_tasks;
};

}  // namespace tolvex
