#include "ui/main/WindowTaskHost.h"

#include "ui/main/CMainWnd.h"

namespace tolvex {

WindowTaskHost::WindowTaskHost(CMainWnd& window) : m_window(&window) {}

QObject* WindowTaskHost::messageReceiver()
{
    return m_window.data();
}

void WindowTaskHost::setPageBusy(PageKind page, bool busy)
{
    if (m_window)
        m_window->SetPageBusy(page, busy);
}

}  // namespace tolvex
