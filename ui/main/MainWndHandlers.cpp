#include "ui/main/MainWndHandlers.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/PageSwitchHandler.h"
#include "ui/main/VolumeLabelHandler.h"

namespace tolvex {

void InstallMainWndHandlers(CMainWnd& window)
{
    window.AddHandler(std::make_unique<PageSwitchHandler>());
    window.AddHandler(std::make_unique<VolumeLabelHandler>());
}

}  // namespace tolvex
