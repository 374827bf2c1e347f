#include "ui/main/CMainWnd.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "media/EncoderSupport.h"
#include "tasks/PageTexts.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/SkinResources.h"
#include "ui/main/MainPageNames.h"
#include "ui/main/MainWndHandlers.h"
#include "ui/main/PageTasks.h"
#include "ui/main/StartButtonText.h"
#include "ui/main/TempFolderCleanup.h"

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

QString CMainWnd::GetWindowClassName() const
{
    return QStringLiteral("Pellam视频转换");
}

void CMainWnd::InitWindow()
{
    // The mark by which a later start finds this window.
    setProperty("TolvexVideoConverter", 1);
    setWindowIcon(QIcon(SkinResources::SkinPath(QStringLiteral("images/logo.png"))));

    FindFrameControls();
    FillExtractFormats();

    m_agent = ReadChannelAgent();
    ConsoleLog("agent:%s\n", m_agent.c_str());
    if (m_outputDirEdit) {
        m_outputDirEdit->setText(OutputFolder());
        m_outputDirEdit->setCursorPosition(0);
        m_outputDirEdit->setToolTip(m_outputDirEdit->text());
    }
    m_tempFolder = TempFolder();

    // The start button shown is the one of the page the skin selects.
    SelectPage(CurrentPage());
    m_tasks = std::make_unique<PageTasks>(*this);
    InstallMainWndHandlers(*this);
    // Every running ffmpeg ends with the window.
    AddShutdownStep([this] { m_tasks->StopAllJobs(); });
    m_tasks->StartWorkers();
}

void CMainWnd::FindFrameControls()
{
    m_mainTab = FindControlAs<QStackedWidget>(QStringLiteral("main-tab"));
    m_outputDirEdit = FindControlAs<QLineEdit>(QStringLiteral("output-dir-edit"));
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        m_selectors[i] = FindControlAs<QAbstractButton>(QString::fromLatin1(kMainPageNames[i].selector));
        m_lists[i] = FindControlAs<CListUI>(QString::fromLatin1(kMainPageNames[i].list));
        m_startButtons[i] = FindControlAs<QAbstractButton>(QString::fromLatin1(StartButtonTextsFor(page).buttonName));
    }
}

void CMainWnd::FillExtractFormats()
{
    // Offer only the audio formats this ffmpeg can write.
    auto* box = FindControlAs<QComboBox>(QStringLiteral("video-extract-format"));
    if (!box)
        return;
    const std::vector<std::string> formats = ExtractAudioFormats();
    if (formats.empty())
        return;
    const QString previous = box->currentText();
    box->clear();
    for (const std::string& format : formats)
        box->addItem(QString::fromStdString(format));
    const int index = box->findText(previous);
    box->setCurrentIndex(index >= 0 ? index : 0);
}

void CMainWnd::AddHandler(std::unique_ptr<MainWndHandler> handler)
{
    if (!handler)
        return;
    MainWndHandler* raw = handler.get();
    m_handlers.push_back(std::move(handler));
    raw->Attach(*this);
}

void CMainWnd::RouteNotify(const QString& type, const QString& senderName, MainWndHandler* handler)
{
    auto& slot = m_notifyRoutes[{type, senderName}];
    if (slot && slot != handler)
        qWarning().noquote() << "notification route replaced:" << type << senderName;
    slot = handler;
}

void CMainWnd::RouteMessage(int number, MainWndHandler* handler)
{
    auto& slot = m_messageRoutes[number];
    if (slot && slot != handler)
        qWarning() << "message route replaced:" << number;
    slot = handler;
}

void CMainWnd::AddShutdownStep(std::function<void()> step)
{
    if (step)
        m_shutdownSteps.push_back(std::move(step));
}

void CMainWnd::SelectPage(PageKind page)
{
    const int index = static_cast<int>(page);
    if (index < 0 || index >= kPageCount)
        return;
    if (m_mainTab)
        m_mainTab->setCurrentIndex(index);
    if (QAbstractButton* selector = m_selectors[Index(page)]; selector && !selector->isChecked())
        selector->setChecked(true);
    for (int i = 0; i < kPageCount; ++i) {
        if (m_startButtons[i])
            m_startButtons[i]->setVisible(i == index);
    }
}

PageKind CMainWnd::CurrentPage() const
{
    const int index = m_mainTab ? m_mainTab->currentIndex() : 0;
    return static_cast<PageKind>(index >= 0 && index < kPageCount ? index : 0);
}

void CMainWnd::SetPageBusy(PageKind page, bool busy)
{
    QAbstractButton* button = StartButton(page);
    if (!button)
        return;
    SetMouseEnabled(button, !busy);
    button->setText(StartButtonText(page, busy));
}

void CMainWnd::Notify(TNotifyUI& msg)
{
    const auto route = m_notifyRoutes.find({msg.type, msg.senderName()});
    if (route != m_notifyRoutes.end())
        route->second->OnNotify(msg);
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
    case WM_OPEN_SETTINGS:
        return false;
    default:
        break;
    }
    const auto route = m_messageRoutes.find(message.number());
    if (route != m_messageRoutes.end())
        return route->second->OnMessage(message);
    return false;
}

void CMainWnd::OnDestroy()
{
    for (const auto& step : m_shutdownSteps)
        step();
    if (!m_tempFolder.isEmpty())
        RemovePlainFiles(m_tempFolder);
}

void CMainWnd::OnFinalMessage()
{
    QCoreApplication::exit(0);
    delete this;
}

}  // namespace tolvex
