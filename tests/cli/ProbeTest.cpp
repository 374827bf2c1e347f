// tolvex-cli probe, run as a user runs it: without a display, one JSON line per file on
// standard output (diagnostics elsewhere), and a binary that links no GUI library.

#include "tests/media/TestMux.h"
#include "tests/support/TestMedia.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

extern "C" {
#include <libavformat/avformat.h>
}

namespace tolvex {
namespace {

QString CliPath()
{
    const QByteArray bin = qgetenv("TOLVEX_BIN_DIR");
    return QString::fromLocal8Bit(bin) + QStringLiteral("/tolvex-cli");
}

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program with no display at all in its environment.
CliRun RunHeadless(const QString& program, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

std::vector<QJsonObject> JsonLines(const QByteArray& out)
{
    std::vector<QJsonObject> objects;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
        objects.push_back(doc.object());
    }
    return objects;
}

class ProbeCommandTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)).toStdString(); }
    QTemporaryDir m_dir;
};

TEST_F(ProbeCommandTest, PrintsOneObjectPerFileAsTheProbeReports)
{
    ASSERT_TRUE(test::MakeVideo(path("clip one.mp4"), 1.0, 160, 120));
    ASSERT_TRUE(test::MakeAudio(path("tone.m4a"), 1.0));
    ASSERT_TRUE(test::MuxStreams(path("phone.mp4"), {{path("clip one.mp4"), 0}},
                                 [](int, AVStream* s) { test::AddDisplayMatrix(s, -90); }));

    const CliRun run =
        RunHeadless(CliPath(), {QStringLiteral("probe"), QString::fromStdString(path("clip one.mp4")),
                                QString::fromStdString(path("tone.m4a")), QString::fromStdString(path("phone.mp4"))});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const auto objects = JsonLines(run.out);
    ASSERT_EQ(objects.size(), 3u) << run.out.constData();

    const QJsonObject& video = objects[0];
    EXPECT_EQ(video["path"].toString().toStdString(), path("clip one.mp4"));
    EXPECT_EQ(video["width"].toInt(), 160);
    EXPECT_EQ(video["height"].toInt(), 120);
    EXPECT_EQ(video["videoStreamIndex"].toInt(), 0);
    EXPECT_EQ(video["audioStreamIndex"].toInt(), 1);
    EXPECT_EQ(video["audioSampleFormat"].toInt(), AV_SAMPLE_FMT_FLTP);
    EXPECT_GT(video["videoBitRate"].toInt(), 0);
    EXPECT_GT(video["audioBitRate"].toInt(), 0);
    EXPECT_EQ(video["sampleRate"].toInt(), 44100);
    EXPECT_EQ(video["channels"].toInt(), 1);
    EXPECT_EQ(video["durationSeconds"].toInt(), 1);
    EXPECT_EQ(video["frameRate"].toInt(), 25);
    EXPECT_EQ(video["hasRotateTag"].toInt(), 0);
    EXPECT_EQ(video["result"].toInt(), 0);
    EXPECT_NEAR(video["probeDuration"].toDouble(), 1.0, 0.001);

    const QJsonObject& audio = objects[1];
    EXPECT_EQ(audio["width"].toInt(), -1);
    EXPECT_EQ(audio["videoStreamIndex"].toInt(), -1);
    EXPECT_EQ(audio["durationSeconds"].toInt(), -1);
    EXPECT_EQ(audio["frameRate"].toInt(), -1);
    EXPECT_EQ(audio["audioStreamIndex"].toInt(), 0);
    EXPECT_EQ(audio["result"].toInt(), 0);
    EXPECT_GT(audio["probeDuration"].toDouble(), 0.9);

    const QJsonObject& phone = objects[2];
    EXPECT_EQ(phone["hasRotateTag"].toInt(), 1);
    EXPECT_EQ(phone["width"].toInt(), 160) << "the stored size";
}

TEST_F(ProbeCommandTest, MissingFileFailsTheRunButTheOthersArePrinted)
{
    ASSERT_TRUE(test::MakeAudio(path("tone.m4a"), 1.0));
    const CliRun run = RunHeadless(
        CliPath(), {QStringLiteral("probe"), QStringLiteral("--verbose"),
                    QString::fromStdString(path("nothing here.mp4")), QString::fromStdString(path("tone.m4a"))});
    EXPECT_EQ(run.exitCode, 1);
    const auto objects = JsonLines(run.out);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]["result"].toInt(), -1);
    EXPECT_EQ(objects[0]["probeDuration"].toDouble(), 0.0);
    EXPECT_EQ(objects[0]["width"].toInt(), -1);
    EXPECT_EQ(objects[1]["result"].toInt(), 0);
    EXPECT_TRUE(run.err.contains("avformat_open_input error"))
        << "with --verbose the probe's line goes to standard error";
    EXPECT_TRUE(run.err.contains("nothing here.mp4: could not be read")) << qPrintable(run.err);
}

TEST(TolvexCli, HelpAndUnknownCommands)
{
    const CliRun help = RunHeadless(CliPath(), {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("probe [--verbose] FILE..."));
    EXPECT_EQ(RunHeadless(CliPath(), {QStringLiteral("no-such-command")}).exitCode, 2);
    EXPECT_EQ(RunHeadless(CliPath(), {QStringLiteral("probe")}).exitCode, 2);
}

TEST(TolvexCli, LinksNoGuiLibrary)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizer runtimes are linked with --no-as-needed, which keeps every library of the
    // link line (libavdevice and its SDL2 among them): only the plain build says what the
    // program needs.
    GTEST_SKIP() << "sanitizer build";
#endif
    const CliRun ldd = RunHeadless(QStringLiteral("ldd"), {CliPath()});
    ASSERT_EQ(ldd.exitCode, 0);
    for (const char* gui : {"libQt6Gui", "libQt6Widgets", "libQt6UiTools", "libSDL2"})
        EXPECT_FALSE(ldd.out.contains(gui)) << gui;
    // Debian's FFmpeg libraries bring X11 client libraries with them (VA-API, VDPAU); the
    // program itself asks for none.
    const CliRun needed = RunHeadless(QStringLiteral("readelf"), {QStringLiteral("-d"), CliPath()});
    ASSERT_EQ(needed.exitCode, 0);
    for (const char* x : {"libX11", "libxcb", "libSDL2", "libQt6Gui"})
        EXPECT_FALSE(needed.out.contains(x)) << x;
}

}  // namespace
}  // namespace tolvex
