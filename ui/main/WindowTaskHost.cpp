#include "ui/main/WindowTaskHost.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/FinishNotice.h"

namespace tolvex {

WindowTaskHost::WindowTaskHost(CMainWnd& window) : m_window(&window) {}

QObject* WindowTaskHost::messageReceiver()
{
    return m_window.data();
}

void WindowTaskHost::setPageBusy(PageKind page, bool busy)
{
    if (!m_window)
        return;
    m_window->setPageBusy(page, busy);
    if (auto* notice = m_window->handler<FinishNotice>())
        notice->onPageBusy(page, busy);
}

}  // namespace tolvex
