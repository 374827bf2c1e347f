#include "ui/main/CMainWnd.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "ui/framework/AfterFirstPaint.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/SkinResources.h"
#include "ui/main/MainPageNames.h"
#include "ui/main/MainWndHandlers.h"
#include "ui/main/PageTasks.h"
#include "ui/main/StartButtonText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QIcon>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimer>

namespace tolvex {

CMainWnd::CMainWnd() = default;

CMainWnd::~CMainWnd() = default;

QString CMainWnd::GetSkinFile()
{
    return QStringLiteral("MainWindow.xml");
}

QString CMainWnd::getWindowClassName() const
{
    return QStringLiteral("Pellam视频转换");
}

void CMainWnd::InitWindow()
{
    // The mark by which a later start finds this window.
    setProperty("TolvexVideoConverter", 1);
    setWindowIcon(QIcon(SkinResources::skinPath(QStringLiteral("images/logo.png"))));

    findFrameControls();
    // FFmpeg is asked which audio formats it writes once the window is on screen.
    new AfterFirstPaint(
        this, [this] { m_extractFormats.start(findControlAs<QComboBox>(QStringLiteral("video-extract-format"))); });

    m_agent = ReadChannelAgent();
    ConsoleLog("agent:%s\n", m_agent.c_str());
    if (m_outputDirEdit) {
        m_outputDirEdit->setText(OutputFolder());
        m_outputDirEdit->setCursorPosition(0);
        m_outputDirEdit->setToolTip(m_outputDirEdit->text());
    }
    // The temp folders of earlier runs that crashed or were killed go; then this one's own.
    SweepStaleTempFolders();
    m_tempFolder = ProcessTempFolder();

    // The start button shown is the one of the page the skin selects.
    selectPage(currentPage());
    m_tasks = std::make_unique<PageTasks>(*this);
    InstallMainWndHandlers(*this);
    // Every running ffmpeg ends with the window.
    addShutdownStep([this] { m_tasks->StopAllJobs(); });
    m_tasks->startWorkers();
}

void CMainWnd::findFrameControls()
{
    m_mainTab = findControlAs<QStackedWidget>(QStringLiteral("main-tab"));
    m_outputDirEdit = findControlAs<QLineEdit>(QStringLiteral("output-dir-edit"));
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        m_selectors[i] = findControlAs<QAbstractButton>(QString::fromLatin1(kMainPageNames[i].selector));
        m_lists[i] = findControlAs<CListUI>(QString::fromLatin1(kMainPageNames[i].list));
        m_startButtons[i] = findControlAs<QAbstractButton>(QString::fromLatin1(StartButtonTextsFor(page).buttonName));
    }
}

void CMainWnd::addHandler(std::unique_ptr<MainWndHandler> handler)
{
    if (!handler)
        return;
    MainWndHandler* raw = handler.get();
    m_handlers.push_back(std::move(handler));
    raw->attach(*this);
}

void CMainWnd::routeNotify(const QString& type, const QString& senderName, MainWndHandler* handler)
{
    auto& slot = m_notifyRoutes[{type, senderName}];
    if (slot && slot != handler)
        qWarning().noquote() << "notification route replaced:" << type << senderName;
    slot = handler;
}

void CMainWnd::routeMessage(int number, MainWndHandler* handler)
{
    auto& slot = m_messageRoutes[number];
    if (slot && slot != handler)
        qWarning() << "message route replaced:" << number;
    slot = handler;
}

void CMainWnd::addShutdownStep(std::function<void()> step)
{
    if (step)
        m_shutdownSteps.push_back(std::move(step));
}

void CMainWnd::addNotifyObserver(std::function<void(const TNotifyUI&)> observer)
{
    if (observer)
        m_notifyObservers.push_back(std::move(observer));
}

void CMainWnd::selectPage(PageKind page)
{
    const int pageIndex = static_cast<int>(page);
    if (pageIndex < 0 || pageIndex >= kPageCount)
        return;
    if (m_mainTab)
        m_mainTab->setCurrentIndex(pageIndex);
    if (QAbstractButton* selector = m_selectors[index(page)]; selector && !selector->isChecked())
        selector->setChecked(true);
    for (int i = 0; i < kPageCount; ++i) {
        if (m_startButtons[i])
            m_startButtons[i]->setVisible(i == pageIndex);
    }
}

PageKind CMainWnd::currentPage() const
{
    const int index = m_mainTab ? m_mainTab->currentIndex() : 0;
    return static_cast<PageKind>(index >= 0 && index < kPageCount ? index : 0);
}

void CMainWnd::setPageBusy(PageKind page, bool busy)
{
    QAbstractButton* button = startButton(page);
    if (!button)
        return;
    SetMouseEnabled(button, !busy);
    button->setText(StartButtonText(page, busy));
}

void CMainWnd::Notify(TNotifyUI& msg)
{
    const auto route = m_notifyRoutes.find({msg.type, msg.senderName()});
    if (route != m_notifyRoutes.end())
        route->second->onNotify(msg);
    for (const auto& observer : m_notifyObservers)
        observer(msg);
    WindowImplBase::Notify(msg);
}

bool CMainWnd::HandleCustomMessage(MessageEvent& message)
{
    switch (message.number()) {
    case WM_APP_QUIT:
        // Closed from the event loop, like a posted close request.
        QTimer::singleShot(0, this, [this] { Close(WM_APP_QUIT); });
        return true;
    case WM_SHOW_MAIN:
        ShowWindow(true, true);
        return true;
    default:
        break;
    }
    const auto route = m_messageRoutes.find(message.number());
    if (route != m_messageRoutes.end())
        return route->second->onMessage(message);
    return false;
}

void CMainWnd::onDestroy()
{
    for (const auto& step : m_shutdownSteps)
        step();
    // Only this process's temp files: a tolvex-cli running beside the window keeps its own.
    RemoveProcessTempFolder();
}

void CMainWnd::OnFinalMessage()
{
    QCoreApplication::exit(0);
    delete this;
}

}  // namespace tolvex
