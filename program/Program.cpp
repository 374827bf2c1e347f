#include "program/Program.h"

#include "app/Folders.h"
#include "program/CrashReport.h"
#include "program/ProgramLog.h"
#include "program/SingleInstance.h"
#include "ui/clip/PreviewPlatform.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"
#include "ui/framework/WindowMethodError.h"
#include "ui/main/CMainWnd.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>

#include <glog/logging.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <clocale>
#include <iostream>

namespace tolvex {

namespace {

// Brings the main window forward, and above it the modal dialog it shows, if any.
void ComeForward(const QPointer<CMainWnd>& window)
{
    if (!window || window->IsClosed())
        return;
    if (window->isMinimized())
        window->showNormal();
    window->ShowWindow(true, true);
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->show();
        modal->raise();
        modal->activateWindow();
    }
}

}  // namespace

int RunProgram(int argc, char** argv)
{
    // A second start hands over to the running one before any GUI is loaded.
    if (SingleInstance::HandOverToRunning())
        return 0;

    ChoosePreviewPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvex-video-converter"));
    QApplication::setDesktopFileName(QStringLiteral("tolvex-video-converter"));
    // The main window's final message ends the program, not the last window closing
    // (the window may sit in the tray).
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (!instance.TryBecomePrimary()) {
        instance.ActivatePrimary();
        return 0;
    }

    CrashReport::Install(CrashDumpPath());
    ProgramLog::Start();
    LOG(INFO) << "TolvexVideoConverter starts, pid " << QCoreApplication::applicationPid();

    // Wide diagnostic lines use the user's locale.
    std::setlocale(LC_ALL, "");
    std::wcout.imbue(std::locale(""));

    // Skinned dialogs get their drop shadow where the display can blend it.
    CWndShadow::RegisterShadowClass();

    avformat_network_init();
    QApplication::setWindowIcon(QIcon(SkinResources::SkinPath(QStringLiteral("images/logo.png"))));

    int exitCode = 0;
    auto* window = new CMainWnd;
    bool created = false;
    try {
        created = window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                 WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES);
    } catch (const WindowMethodError& error) {
        LOG(ERROR) << "main window: " << error.what();
        std::cerr << "main window: " << error.what() << std::endl;
    }
    if (created) {
        window->CenterWindow();
        window->ShowWindow(true, true);
        QPointer<CMainWnd> guard(window);
        instance.SetActivationHandler([guard] { ComeForward(guard); });
        exitCode = QApplication::exec();
        LOG(INFO) << "TolvexVideoConverter ends with " << exitCode;
    } else {
        // No skin, no window: say so instead of running invisibly.
        const std::string skin = SkinResources::SkinPath(QStringLiteral("MainWindow.xml")).toStdString();
        LOG(ERROR) << "main window cannot be built from " << skin;
        std::cerr << "main window cannot be built from " << skin << std::endl;
        delete window;
        exitCode = 1;
    }

    avformat_network_deinit();
    ProgramLog::Stop();
    return exitCode;
}

}  // namespace tolvex
