#include "ui/main/OnlineServices.h"

#include "app/ServiceAddress.h"
#include "net/PublicIpQuery.h"
#include "ui/framework/AfterFirstPaint.h"
#include "ui/main/CMainWnd.h"
#include "ui/net/FeedbackDialog.h"
#include "ui/net/UpdateOffer.h"

#include <string>

namespace tolvex {

namespace {

std::string ServiceUrl()
{
    return ServiceBaseAddress().toStdString();
}

}  // namespace

OnlineServices::OnlineServices() : m_account(std::make_shared<AccountState>()) {}

OnlineServices::~OnlineServices()
{
    m_threads.stopAll();
}

void OnlineServices::attach(CMainWnd& window)
{
    m_window = &window;
    window.routeNotify(QStringLiteral("click"), QStringLiteral("feedback"), this);
    window.routeMessage(WM_OPEN_FEEDBACK, this);
    window.routeMessage(WM_CHECK_UPGRADE, this);
    window.routeMessage(WM_UPDATE_CHECKED, this);
    window.addShutdownStep([this] { m_threads.stopAll(); });

    // The start-up threads wait until the window is on screen: the network library they
    // load would compete with its first paint.
    new AfterFirstPaint(&window, [this] { startStartUpThreads(); });
}

void OnlineServices::startStartUpThreads()
{
    // Each only when the one before it started.
    startUpdateCheck(false);
    const std::shared_ptr<AccountState> account = m_account;
    if (!m_threads.start([account](const std::atomic<bool>&) { LoadAccount(*account); }))
        return;
    if (PublicIpQueryNeeded())
        m_threads.start([url = ServiceUrl()](const std::atomic<bool>& abort) { PublicIpQuery(url, &abort); });
}

void OnlineServices::onNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("feedback"))
        openFeedback();
}

bool OnlineServices::onMessage(MessageEvent& message)
{
    switch (message.number()) {
    case WM_OPEN_FEEDBACK:
        openFeedback();
        return true;
    case WM_CHECK_UPGRADE:
        if (!m_checkRunning)
            startUpdateCheck(true);
        return true;
    case WM_UPDATE_CHECKED:
        if (const auto* record = message.recordAs<UpdateCheckedRecord>())
            showCheckOutcome(*record);
        return true;
    default:
        return false;
    }
}

void OnlineServices::startUpdateCheck(bool interactive)
{
    QObject* receiver = m_window.data();
    const bool started = m_threads.start([receiver, interactive, url = ServiceUrl()](const std::atomic<bool>& abort) {
        auto record = std::make_unique<UpdateCheckedRecord>();
        record->interactive = interactive;
        record->result = RequestUpdateCheck(url, &abort);
        if (!abort.load())
            PostMessageTo(receiver, WM_UPDATE_CHECKED, std::move(record));
    });
    if (started && interactive && m_window) {
        m_checkRunning = true;
        m_window->setCursor(Qt::BusyCursor);
    }
}

void OnlineServices::showCheckOutcome(const UpdateCheckedRecord& record)
{
    if (record.interactive) {
        m_checkRunning = false;
        if (m_window)
            m_window->unsetCursor();
    }
    // One offer at a time: a second check that ends while the first offer is open adds
    // nothing.
    if (m_offering || !m_window)
        return;
    m_offering = true;
    const QPointer<CMainWnd> window = m_window;
    ShowUpdateCheckResult(window.data(), record.result, record.interactive);
    if (window)
        m_offering = false;
}

void OnlineServices::openFeedback()
{
    if (FeedbackDialog* open = FeedbackDialog::current(); open && !open->isClosed()) {
        open->ShowWindow(true, true);
        return;
    }
    const std::shared_ptr<AccountState> account = m_account;
    FeedbackDialog::Open(
        m_window.data(), [account] { return account->isSignedIn(); }, ServiceUrl());
}

}  // namespace tolvex
