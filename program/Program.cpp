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
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QPointer>
#include <QTimer>

#include <glog/logging.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <clocale>
#include <iostream>
#include <utility>

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

// When the environment variable TOLVEX_READY_FILE names a file, the program writes its pid
// there once the first paint is over and the event loop waits for input. Scripts and tests
// that drive the program wait for that file instead of guessing a delay. Lives on the UI
// thread; deletes itself after writing.
class ReadyMark : public QObject {
public:
    explicit ReadyMark(QString path) : m_path(std::move(path)) { qApp->installEventFilter(this); }

    static void InstallFromEnvironment()
    {
        const QString path = qEnvironmentVariable("TOLVEX_READY_FILE");
        if (!path.isEmpty())
            new ReadyMark(path);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            qApp->removeEventFilter(this);
            // A zero timer runs once the whole paint and every queued event are handled.
            QTimer::singleShot(0, this, [this] {
                QFile file(m_path);
                if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    file.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_path;
    bool m_painted = false;
};

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
        ReadyMark::InstallFromEnvironment();
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
