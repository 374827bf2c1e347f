// The real program on an X display, as a user starts it: one window, a second start that
// hands over and ends, the log file, closing by the window's close button with its
// temp folder removed, and the crash report.

#include "app/Folders.h"
#include "tasks/QueueJournalFile.h"
#include "tests/app/TestEnv.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

namespace tolvex {
namespace {

const QString kWindowTitle = QStringLiteral("TOLVEX视频转换");

QString ProgramPath()
{
    return QStringLiteral(TOLVEX_PROGRAM_PATH);
}

// Runs xdotool with `arguments`; its standard output lines.
QStringList XdoTool(const QStringList& arguments)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    if (!xdotool.waitForFinished(10000))
        return {};
    return QString::fromUtf8(xdotool.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList VisibleMainWindows()
{
    return XdoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                    QStringLiteral("^") + kWindowTitle + QStringLiteral("$")});
}

QStringList WaitForMainWindows(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QStringList windows = VisibleMainWindows();
        if (!windows.isEmpty())
            return windows;
        QThread::msleep(100);
    }
    return {};
}

// True once `path` holds `pid`, the mark the program writes when it is ready for input.
bool WaitForReadyMark(const QString& path, qint64 pid, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == QByteArray::number(pid))
            return true;
        QThread::msleep(50);
    }
    return false;
}

// The probed size ("WxH") of the item with input `path` in the queue journal; empty while
// the journal does not hold it.
QString JournalSizeOf(const QString& path)
{
    QFile file(QueueJournalPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject pages =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("pages")).toObject();
    for (const QJsonValue page : pages) {
        for (const QJsonValue item : page.toObject().value(QStringLiteral("items")).toArray()) {
            const QJsonObject input = item.toObject().value(QStringLiteral("input")).toObject();
            if (input.value(QStringLiteral("path")).toString() == path)
                return QStringLiteral("%1x%2")
                    .arg(input.value(QStringLiteral("width")).toInt())
                    .arg(input.value(QStringLiteral("height")).toInt());
        }
    }
    return {};
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    }
    void TearDown() override
    {
        for (QProcess* process : {&m_first, &m_second}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }
    // With `readyFile`, the program writes its pid there once it waits in its event loop.
    void startFirst(const QString& readyFile = {}, const QStringList& files = {})
    {
        if (!readyFile.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("TOLVEX_READY_FILE"), readyFile);
            m_first.setProcessEnvironment(environment);
        }
        m_first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The window is found by its Chinese title, whatever the locale of the test run.
        m_first.start(ProgramPath(), QStringList{QStringLiteral("--lang"), QStringLiteral("zh")} + files);
        ASSERT_TRUE(m_first.waitForStarted(5000));
    }

    test::ScopedHome m_home;
    QProcess m_first;
    QProcess m_second;
};

TEST_F(ProgramTest, OneWindowSecondStartHandsOverAndCloseCleansUp)
{
    startFirst();
    const QStringList windows = WaitForMainWindows(20000);
    ASSERT_EQ(windows.size(), 1) << "one main window titled " << kWindowTitle.toStdString();

    const QStringList logs = FilesIn(LogFolder());
    EXPECT_FALSE(logs.isEmpty()) << "the log folder holds a log file";

    // Its own temp folder, and a kept installer beside it.
    const QString temp = TempFolder();
    const QString own = temp + QStringLiteral("/%1").arg(m_first.processId());
    ASSERT_TRUE(QFileInfo(own).isDir()) << "each process keeps its temp files in its own folder";
    for (const QString& name : {own + "/thumb.jpg", own + "/视频.jpg", temp + "/setup.bin"}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("data");
    }

    QElapsedTimer timer;
    timer.start();
    m_second.start(ProgramPath(), {});
    ASSERT_TRUE(m_second.waitForFinished(3000)) << "a second start ends within 3 seconds";
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(m_second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_second.exitCode(), 0);
    EXPECT_EQ(FilesIn(LogFolder()), logs) << "the second start writes no log";
    QThread::msleep(300);
    EXPECT_EQ(VisibleMainWindows(), windows) << "still exactly one main window";
    EXPECT_EQ(m_first.state(), QProcess::Running);

    // Close with the skin's close button: top right of the window's header.
    const QStringList geometry =
        XdoTool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), windows.first()});
    int x = 0, y = 0, width = 0;
    for (const QString& line : geometry) {
        if (line.startsWith(QLatin1String("X=")))
            x = line.mid(2).toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            y = line.mid(2).toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            width = line.mid(6).toInt();
    }
    ASSERT_GT(width, 0);
    XdoTool({QStringLiteral("mousemove"), QString::number(x + width - 25), QString::number(y + 28),
             QStringLiteral("click"), QStringLiteral("1")});

    ASSERT_TRUE(m_first.waitForFinished(15000)) << "closing the window ends the program";
    EXPECT_EQ(m_first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_first.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(own)) << "its temp folder is gone";
    EXPECT_TRUE(QFile::exists(temp + QStringLiteral("/setup.bin"))) << "what is not its own stays";
}

// FFmpeg, SDL and curl are not linked: the program opens them once its window is shown. A
// file given at start is still probed, and the libraries are in the process soon after.
TEST_F(ProgramTest, FfmpegSdlAndCurlOpenAfterTheWindowAndFilesAreStillProbed)
{
#ifdef TOLVEX_PROGRAM_DEFERS_LIBRARIES
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), ProgramPath()});
    ASSERT_TRUE(readelf.waitForFinished(10000));
    const QString dynamic = QString::fromUtf8(readelf.readAllStandardOutput());
    ASSERT_TRUE(dynamic.contains(QStringLiteral("libQt6Widgets"))) << dynamic.toStdString();
    for (const char* library :
         {"libavformat", "libavcodec", "libavutil", "libswscale", "libswresample", "libSDL2", "libcurl"})
        EXPECT_FALSE(dynamic.contains(QLatin1String(library))) << library << " is linked";
#endif
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("片段 $1.mp4"));
    ASSERT_TRUE(test::MakeVideo(clip.toStdString(), 1.0, 160, 120));
    const QString ready = folder.filePath(QStringLiteral("ready"));
    startFirst(ready, {clip});
    ASSERT_TRUE(WaitForReadyMark(ready, m_first.processId(), 20000));

    QElapsedTimer timer;
    timer.start();
    while (JournalSizeOf(clip).isEmpty() && timer.elapsed() < 30000)
        QThread::msleep(100);
    EXPECT_EQ(JournalSizeOf(clip), QStringLiteral("160x120")) << "the clip was probed and listed";
    QFile maps(QStringLiteral("/proc/%1/maps").arg(m_first.processId()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    for (const char* library : {"libavformat", "libSDL2", "libcurl"})
        EXPECT_TRUE(mapped.contains(library)) << library << " was not opened";
}

TEST_F(ProgramTest, CrashWritesAReportThatTheNextCrashReplaces)
{
    const QString report = CrashDumpPath();
    qint64 previousPid = 0;
    for (int round = 0; round < 2; ++round) {
        // The window maps before its first paint is over. A signal that lands mid-paint has
        // a stack deeper than the report's frame limit, so `main` would not be in the trace:
        // the crash comes once the program says it waits in its event loop.
        const QString ready = m_home.home() + QStringLiteral("/ready-%1").arg(round);
        startFirst(ready);
        ASSERT_FALSE(WaitForMainWindows(20000).isEmpty());
        const qint64 pid = m_first.processId();
        ASSERT_TRUE(WaitForReadyMark(ready, pid, 20000)) << "the program writes its ready mark";
        ::kill(static_cast<pid_t>(pid), SIGSEGV);
        ASSERT_TRUE(m_first.waitForFinished(15000));
        EXPECT_EQ(m_first.exitStatus(), QProcess::CrashExit);

        QFile file(report);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << report.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(text.contains(QStringLiteral("SIGSEGV"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("PID %1 ").arg(pid))) << text.toStdString();
        if (previousPid != 0) {
            EXPECT_FALSE(text.contains(QStringLiteral("PID %1 ").arg(previousPid)))
                << "the later crash replaced the report";
        }
        // A readable trace: function names, not only addresses.
        EXPECT_TRUE(text.contains(QStringLiteral("main")) || text.contains(QStringLiteral("RunProgram")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("QCoreApplication::exec")) ||
                    text.contains(QStringLiteral("QEventLoop::exec")))
            << text.toStdString();
        previousPid = pid;
    }
    const QStringList dumps = QDir(QFileInfo(report).absolutePath()).entryList(QDir::Files);
    EXPECT_EQ(dumps, QStringList{QStringLiteral("PellamVideoConverter.dmp")});
}

}  // namespace
}  // namespace tolvex
