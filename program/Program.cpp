#include "program/Program.h"

#include "app/BuildInfo.h"
#include "app/Folders.h"
#include "app/ProgramOptions.h"
#include "program/CrashReport.h"
#include "program/ProgramLog.h"
#include "program/SingleInstance.h"
#include "ui/clip/PreviewPlatform.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/AfterFirstPaint.h"
#include "ui/framework/SkinResources.h"
#include "ui/framework/UiLanguage.h"
#include "ui/framework/WindowMethodError.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/OpenWithFiles.h"
#include "ui/main/QueueJournalKeeper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPointer>
#include <QTimer>

#include <glog/logging.h>

#include <clocale>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace tolvex {

namespace {

// Brings the main window forward, and above it the modal dialog it shows, if any.
void ComeForward(const QPointer<CMainWnd>& window)
{
    if (!window || window->isClosed())
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
// there once it is shown and waits for input. Scripts and tests that drive the program wait
// for that file instead of guessing a delay.
void WriteReadyMark()
{
    const QString path = qEnvironmentVariable("TOLVEX_READY_FILE");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
}

// The command line as given, decoded the way file names are.
QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}

// --lang, else the desktop's locale.
void InstallLanguage(const ProgramOptions& options)
{
    const UiLanguage::Language language =
        UiLanguage::fromCode(options.language).value_or(UiLanguage::forLocale(QLocale::system()));
    if (!UiLanguage::install(language))
        LOG(WARNING) << "no translation for " << UiLanguage::code(language).toStdString() << " in "
                     << UiLanguage::translationsFolder().toStdString();
}

}  // namespace

void AcceptHandOvers(SingleInstance& instance, CMainWnd& window)
{
    QPointer<CMainWnd> guard(&window);
    instance.setActivationHandler([guard](const QStringList& files) {
        ComeForward(guard);
        if (guard && !guard->isClosed())
            OpenFilesOnConvertPage(*guard, files);
    });
}

int RunProgram(int argc, char** argv, const std::function<void()>& onceShown,
               const std::function<void()>& beforeLogEnds)
{
    const ProgramOptions options = ParseProgramOptions(ArgumentsOf(argc, argv), QDir::currentPath());
    if (!options.error.isEmpty()) {
        std::cerr << options.error.toStdString() << '\n' << ProgramUsage().toStdString() << std::endl;
        return 2;
    }
    if (options.help || options.version) {
        std::cout << (options.help ? ProgramHelp() : ProgramVersionLine() + QLatin1Char('\n')).toStdString()
                  << std::flush;
        return 0;
    }
    // A second start hands over to the running one (with its files) before any GUI is
    // loaded. A load check runs beside a running copy without disturbing it.
    if (!options.loadAndQuit && SingleInstance::handOverToRunning(SingleInstance::keyForUser(), options.files))
        return 0;

    ChoosePreviewPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tolvex-video-converter"));
    QApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
    // The main window's final message ends the program, not the last window closing
    // (the window may sit in the tray).
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (!options.loadAndQuit && !instance.tryBecomePrimary()) {
        instance.activatePrimary(2000, options.files);
        return 0;
    }

    CrashReport::install(CrashDumpPath());
    ProgramLog::start();
    LOG(INFO) << "TolvexVideoConverter starts, pid " << QCoreApplication::applicationPid();

    // Wide diagnostic lines use the user's locale. A locale the system does not have (LANG
    // naming one that was never generated) makes std::locale throw: the lines then keep the
    // classic one instead of the program ending before its window.
    std::setlocale(LC_ALL, "");
    try {
        std::wcout.imbue(std::locale(""));
    } catch (const std::runtime_error& error) {
        LOG(WARNING) << "user locale unavailable (" << error.what() << "), diagnostics use the classic locale";
    }

    // Skinned dialogs get their drop shadow where the display can blend it.
    CWndShadow::RegisterShadowClass();

    InstallLanguage(options);
    QApplication::setWindowIcon(QIcon(SkinResources::skinPath(QStringLiteral("images/logo.png"))));

    int exitCode = 0;
    auto* window = new CMainWnd;
    bool created = false;
    try {
        created = window->Create(nullptr, QCoreApplication::translate("Program", "TOLVEX视频转换"),
                                 WS_VISIBLE | WS_OVERLAPPEDWINDOW, WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES);
    } catch (const WindowMethodError& error) {
        LOG(ERROR) << "main window: " << error.what();
        std::cerr << "main window: " << error.what() << std::endl;
    }
    if (created && options.loadAndQuit) {
        // Built, never shown: closed from the event loop, which its final message ends.
        std::cout << "loaded " << SkinResources::skinFolder().toStdString() << " ("
                  << UiLanguage::code(UiLanguage::current()).toStdString() << ")" << std::endl;
        QPointer<CMainWnd> guard(window);
        QTimer::singleShot(0, window, [guard] {
            if (guard)
                guard->Close(0);
        });
        exitCode = QApplication::exec();
    } else if (created) {
        window->CenterWindow();
        window->ShowWindow(true, true);
        AcceptHandOvers(instance, *window);
        // The lists of a run that ended uncleanly come back first; files given now follow them.
        StartQueueJournal(*window);
        OpenFilesOnConvertPage(*window, options.files);
        new AfterFirstPaint(window, [onceShown] {
            WriteReadyMark();
            if (onceShown)
                onceShown();
        });
        exitCode = QApplication::exec();
        LOG(INFO) << "TolvexVideoConverter ends with " << exitCode;
    } else {
        // No skin, no window: say so instead of running invisibly.
        const std::string skin = SkinResources::skinPath(QStringLiteral("MainWindow.xml")).toStdString();
        LOG(ERROR) << "main window cannot be built from " << skin;
        std::cerr << "main window cannot be built from " << skin << std::endl;
        delete window;
        exitCode = 1;
    }

    if (beforeLogEnds)
        beforeLogEnds();
    ProgramLog::stop();
    return exitCode;
}

}  // namespace tolvex
