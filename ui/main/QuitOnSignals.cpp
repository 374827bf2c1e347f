#include "ui/main/QuitOnSignals.h"

#include "ui/main/CMainWnd.h"

#include <QApplication>
#include <QWidget>

#include <glog/logging.h>

namespace tolvex {

void QuitOnSignals::attach(CMainWnd& window)
{
    m_window = &window;
    m_watch = std::make_unique<SignalWatch>(std::initializer_list<int>{SIGTERM, SIGINT, SIGHUP}, [this](int signal) {
        LOG(WARNING) << "signal " << signal << " received, quitting";
        quit();
    });
}

void QuitOnSignals::quit()
{
    // A modal dialog runs its own event loop over the window: it closes first, so the
    // window's quit is handled by the main loop once every dialog has returned.
    QWidget* previous = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == previous)
            break;  // it refused to close; the window's end takes it along
        previous = modal;
        modal->close();
    }
    PostMessageTo(m_window, WM_APP_QUIT);
}

}  // namespace tolvex
