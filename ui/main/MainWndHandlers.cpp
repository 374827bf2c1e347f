#include "ui/main/MainWndHandlers.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/FinishNotice.h"
#include "ui/main/HeaderLinks.h"
#include "ui/main/ListEditing.h"
#include "ui/main/MediaAdder.h"
#include "ui/main/OnlineServices.h"
#include "ui/main/OutputFolderControls.h"
#include "ui/main/PageItemControls.h"
#include "ui/main/PageStartHandler.h"
#include "ui/main/PageSwitchHandler.h"
#include "ui/main/PageTasks.h"
#include "ui/main/ProgressView.h"
#include "ui/main/TrayIcon.h"
#include "ui/main/VolumeLabelHandler.h"

namespace tolvex {

void InstallMainWndHandlers(CMainWnd& window)
{
    window.AddHandler(std::make_unique<TrayIcon>());
    // After the tray icon: its notices go through the icon.
    window.AddHandler(std::make_unique<FinishNotice>());
    window.AddHandler(std::make_unique<PageSwitchHandler>());
    window.AddHandler(std::make_unique<VolumeLabelHandler>());
    window.AddHandler(std::make_unique<HeaderLinks>());
    // Before the page workers start: the start-up update check and the account loader
    // come first.
    window.AddHandler(std::make_unique<OnlineServices>());

    PageTasks& tasks = window.Tasks();
    window.AddHandler(std::make_unique<PageStartHandler>(tasks));
    window.AddHandler(std::make_unique<ProgressView>(tasks));
    window.AddHandler(std::make_unique<PageItemControls>(tasks));
    auto adder = std::make_unique<MediaAdder>(tasks.SplitClips(), tasks.GifClips());
    auto editing = std::make_unique<ListEditing>(tasks);
    // A cleared page takes none of the files still on their way to it.
    editing->SetClearHook([target = adder.get()](PageKind page) { target->CancelPending(page); });
    window.AddHandler(std::move(adder));
    window.AddHandler(std::move(editing));
    window.AddHandler(std::make_unique<OutputFolderControls>());
}

}  // namespace tolvex
