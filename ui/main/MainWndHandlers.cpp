#include "ui/main/MainWndHandlers.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/ConvertSetAll.h"
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
#include "ui/main/QuitOnSignals.h"
#include "ui/main/TrayIcon.h"
#include "ui/main/VolumeLabelHandler.h"

namespace tolvex {

void InstallMainWndHandlers(CMainWnd& window)
{
    window.addHandler(std::make_unique<TrayIcon>());
    // After the tray icon: its notices go through the icon.
    window.addHandler(std::make_unique<FinishNotice>());
    window.addHandler(std::make_unique<PageSwitchHandler>());
    window.addHandler(std::make_unique<VolumeLabelHandler>());
    window.addHandler(std::make_unique<HeaderLinks>());
    // Before the page workers start: the start-up update check and the account loader
    // come first.
    window.addHandler(std::make_unique<OnlineServices>());

    PageTasks& tasks = window.tasks();
    window.addHandler(std::make_unique<PageStartHandler>(tasks));
    window.addHandler(std::make_unique<ProgressView>(tasks));
    window.addHandler(std::make_unique<PageItemControls>(tasks));
    window.addHandler(std::make_unique<ConvertSetAll>(tasks));
    auto adder = std::make_unique<MediaAdder>(tasks.splitClips(), tasks.gifClips());
    auto editing = std::make_unique<ListEditing>(tasks);
    // A cleared page takes none of the files still on their way to it.
    editing->setClearHook([target = adder.get()](PageKind page) { target->cancelPending(page); });
    window.addHandler(std::move(adder));
    window.addHandler(std::move(editing));
    window.addHandler(std::make_unique<OutputFolderControls>());
    window.addHandler(std::make_unique<QuitOnSignals>());
}

}  // namespace tolvex
