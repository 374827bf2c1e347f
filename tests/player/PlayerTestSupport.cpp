#include "PlayerTestSupport.h"

#include "player/PlaybackClock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tolvex::test {

bool RunFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("ffmpeg"), QStringList{"-y", "-v", "error", "-nostdin"} + arguments);
    if (!process.waitForFinished(120000))
        return false;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", process.readAll().constData());
        return false;
    }
    return true;
}

MediaFolder::MediaFolder() = default;

std::string MediaFolder::path(const QString& name) const
{
    return m_dir.filePath(name).toStdString();
}

bool MediaFolder::make(const QString& name, const QStringList& arguments)
{
    const QString file = m_dir.filePath(name);
    if (QFile::exists(file))
        return true;
    return RunFfmpeg(arguments + QStringList{file});
}

VideoWindow::VideoWindow(int width, int height) : m_window(std::make_unique<QWidget>())
{
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_area = new CVideoArea(m_window.get());
    layout->addWidget(m_area);
    m_window->resize(width, height);
    m_window->show();
    WaitUntil([this] { return m_area->DisplayWidth() > 0 && m_window->isVisible(); }, 2000);
    Pump(100);
}

VideoWindow::~VideoWindow() = default;

void Pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return true;
}

double WallSeconds()
{
    return PlaybackClock::Now();
}

int RunPlayerTests(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        // Listing the tests (CTest's discovery) needs no display.
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0)
            return RUN_ALL_TESTS();
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "these tests need an X display (run them under xvfb-run)\n");
        return 1;
    }
    // SDL adopts the video area's window only through X11.
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Tests never play through the machine's speakers.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace tolvex::test
