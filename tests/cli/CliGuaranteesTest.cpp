// What tolvex-cli guarantees about the user's files, end to end with the real ffmpeg: a
// job is reported done only with a complete file, two jobs never share an output, a
// failure says why and leaves nothing, an interrupted, hung-up or unread run deletes its
// partial outputs and ends with 128 + the signal, only an absolute ffmpeg runs, and
// standard output stays clean.

#include "CliRun.h"
#include "tests/support/TestMedia.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

extern char** environ;

using namespace tolvex;
using namespace tolvex::test;

namespace {

// A copy of an mp4 whose media data past its first few percent is random bytes.
bool MakeDamaged(const QString& source, const QString& damaged)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray data = in.readAll();
    const qsizetype box = data.indexOf("mdat");
    if (box < 4)
        return false;
    const auto byte = [&](qsizetype i) { return static_cast<uint32_t>(static_cast<unsigned char>(data[i])); };
    const qsizetype size = byte(box - 4) << 24 | byte(box - 3) << 16 | byte(box - 2) << 8 | byte(box - 1);
    const qsizetype start = box + 4;
    const qsizetype end = std::min(data.size(), box - 4 + size);
    std::mt19937 random(7);
    for (qsizetype i = start + (end - start) / 20; i < end; ++i)
        data[i] = static_cast<char>(random() & 0xFF);
    QFile out(damaged);
    return out.open(QIODevice::WriteOnly) && out.write(data) == data.size();
}

class CliGuaranteesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        QDir(s_media->path()).mkpath(QStringLiteral("d1"));
        QDir(s_media->path()).mkpath(QStringLiteral("d2"));
        ASSERT_TRUE(MakeClip(media("d1/a.mp4"), Clip(320, 240, 1.0)));
        ASSERT_TRUE(MakeClip(media("d2/a.mp4"), Clip(160, 120, 1.5)));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static QString media(const QString& name) { return s_media->filePath(name); }
    QStringList outFiles() const { return QDir(out.path()).entryList(QDir::Files | QDir::Hidden); }

    static QTemporaryDir* s_media;
    QTemporaryDir out;
};

QTemporaryDir* CliGuaranteesTest::s_media = nullptr;

TEST_F(CliGuaranteesTest, SameNamedInputsGiveTwoFiles)
{
    const CliResult r = RunCli(
        {QStringLiteral("convert"), QStringLiteral("--output-dir"), out.path(), media("d1/a.mp4"), media("d2/a.mp4")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains(QStringLiteral("2 of 2 jobs completed, 0 failed"))) << qPrintable(r.out);
    const QStringList files = outFiles();
    ASSERT_EQ(files.size(), 2) << qPrintable(files.join(QLatin1Char(' ')));
    // Each done line names the file it wrote; the two files are the two inputs.
    std::vector<double> durations;
    for (const QString& file : files) {
        EXPECT_TRUE(r.out.contains(QStringLiteral(": done -> ") + out.filePath(file))) << qPrintable(r.out);
        durations.push_back(ProbeFile(out.filePath(file)).duration);
    }
    std::sort(durations.begin(), durations.end());
    EXPECT_NEAR(durations[0], 1.0, 0.1);
    EXPECT_NEAR(durations[1], 1.5, 0.1);
}

TEST_F(CliGuaranteesTest, ClosingWordsInTheNameDoNotEndTheJobEarly)
{
    const QString named = media(QStringLiteral("muxing overhead: 0%.mp4"));
    ASSERT_TRUE(RunFfmpeg({"-i", media("d2/a.mp4").toStdString(), "-c", "copy", "-metadata",
                           "title=muxing overhead: 0%", named.toStdString()}));
    const CliResult r = RunCli({QStringLiteral("convert"), QStringLiteral("--output-dir"), out.path(), named});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.out);
    const QString file = SingleFileIn(out.path());
    ASSERT_FALSE(file.isEmpty());
    const ProbedFile probed = ProbeFile(file);
    EXPECT_TRUE(probed.hasVideo && probed.hasAudio);
    EXPECT_NEAR(probed.duration, 1.5, 0.1);
    // Percentages never pass 100.
    const QRegularExpression percent(QStringLiteral(": (\\d+)%"));
    for (auto it = percent.globalMatch(r.out); it.hasNext();)
        EXPECT_LE(it.next().captured(1).toInt(), 100) << qPrintable(r.out);
}

TEST_F(CliGuaranteesTest, DamagedInputFailsWithFfmpegsReasonAndLeavesNothing)
{
    ASSERT_TRUE(MakeDamaged(media("d1/a.mp4"), media("damaged.mp4")));
    const CliResult r = RunCli({QStringLiteral("convert"), QStringLiteral("--output-dir"), out.path(),
                                media("damaged.mp4"), media("d2/a.mp4")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("damaged.mp4: failed: ffmpeg exited with status 69: Conversion failed!")))
        << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("1 of 2 jobs completed, 1 failed"))) << qPrintable(r.out);
    EXPECT_EQ(outFiles().size(), 1) << "only the good input's file";
}

TEST_F(CliGuaranteesTest, InterruptedOrHungUpRunsDeletePartialOutputsAndEndWith128PlusTheSignal)
{
    // A slow job: a long clip scaled up to 1080p.
    ASSERT_TRUE(MakeClip(media("long.mp4"), Clip(320, 240, 40.0)));
    // Ctrl-C, termination, and a hang-up (the terminal or the ssh session gone).
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
        QTemporaryDir folder;
        QProcess cli;
        cli.setStandardInputFile(QProcess::nullDevice());
        cli.start(QStringLiteral(TOLVEX_CLI_PATH),
                  {QStringLiteral("convert"), QStringLiteral("--size"), QStringLiteral("1920x1080"),
                   QStringLiteral("--output-dir"), folder.path(), media("long.mp4"), media("d1/a.mp4")});
        ASSERT_TRUE(cli.waitForStarted(10000));
        // Wait until the job has written part of its file.
        QByteArray printed;
        bool writing = false;
        for (int i = 0; i < 300 && !writing; ++i) {
            cli.waitForReadyRead(100);
            printed += cli.readAllStandardOutput();
            const QStringList files = QDir(folder.path()).entryList(QDir::Files);
            writing = printed.contains("%") && files.size() == 1 && QFileInfo(folder.filePath(files[0])).size() > 0;
        }
        ASSERT_TRUE(writing) << printed.constData();
        ::kill(static_cast<pid_t>(cli.processId()), signal);
        ASSERT_TRUE(cli.waitForFinished(10000));
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), status);
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty())
            << qPrintable(QDir(folder.path()).entryList(QDir::Files).join(QLatin1Char(' ')));
    }
}

TEST_F(CliGuaranteesTest, AReaderThatGoesAwayStopsTheRunLikeCtrlC)
{
    // `tolvex-cli convert ... | head -1`: the reader takes a line or two and goes.
    ASSERT_TRUE(MakeClip(media("long.mp4"), Clip(320, 240, 40.0)));
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    const QByteArray program = QByteArrayLiteral(TOLVEX_CLI_PATH);
    const QByteArray folder = out.path().toLocal8Bit();
    const QByteArray input = media("long.mp4").toLocal8Bit();
    const char* argv[] = {program.constData(), "convert",          "--size",          "1920x1080",
                          "--output-dir",      folder.constData(), input.constData(), nullptr};
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.constData(), &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    ASSERT_EQ(spawned, 0);

    // Read until the job has written part of its file, then stop reading.
    QByteArray printed;
    bool writing = false;
    for (int i = 0; i < 300 && !writing; ++i) {
        pollfd ready{ends[0], POLLIN, 0};
        if (::poll(&ready, 1, 100) > 0) {
            char chunk[512];
            const ssize_t n = ::read(ends[0], chunk, sizeof chunk);
            if (n > 0)
                printed.append(chunk, n);
        }
        const QStringList files = QDir(out.path()).entryList(QDir::Files);
        writing = printed.contains("%") && files.size() == 1 && QFileInfo(out.filePath(files[0])).size() > 0;
    }
    ::close(ends[0]);
    ASSERT_TRUE(writing) << printed.constData();

    int status = 0;
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) {
        ended = ::waitpid(pid, &status, WNOHANG) == pid;
        if (!ended)
            ::usleep(50000);
    }
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(ended) << "the run ends once its next line finds no reader";
    ASSERT_TRUE(WIFEXITED(status)) << "it ends by itself, not killed by SIGPIPE";
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGPIPE);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << qPrintable(QDir(out.path()).entryList(QDir::Files).join(QLatin1Char(' ')));
}

TEST_F(CliGuaranteesTest, WithoutAnFfmpegOnThePathNothingRuns)
{
    // The current folder holds a program named ffmpeg; it must not run.
    QTemporaryDir here;
    const QString marker = here.filePath(QStringLiteral("ran"));
    {
        std::ofstream script(here.filePath(QStringLiteral("ffmpeg")).toStdString());
        script << "#!/bin/sh\ntouch '" << marker.toStdString() << "'\nexit 0\n";
    }
    ::chmod(here.filePath(QStringLiteral("ffmpeg")).toLocal8Bit().constData(), 0755);

    QProcess cli;
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.setWorkingDirectory(here.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), QStringLiteral(":.:/no/such/folder"));
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(TOLVEX_CLI_PATH),
              {QStringLiteral("convert"), QStringLiteral("--output-dir"), out.path(), media("d1/a.mp4")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    const QString printed = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_NE(cli.exitCode(), 0);
    EXPECT_TRUE(printed.contains(QStringLiteral("failed: ffmpeg not found"))) << qPrintable(printed);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(outFiles().isEmpty());
}

TEST_F(CliGuaranteesTest, StandardOutputHoldsOnlyProgressAndSummary)
{
    const CliResult quiet = RunCli({QStringLiteral("extract"), QStringLiteral("--format"), QStringLiteral("mp3"),
                                    QStringLiteral("--output-dir"), out.path(), media("d1/a.mp4")});
    ASSERT_EQ(quiet.exitCode, 0) << qPrintable(quiet.err);
    const QRegularExpression allowed(
        QStringLiteral("^(extract 0 a\\.mp4: (\\d+%|done -> .*)|extract: 1 of 1 jobs completed, 0 failed)$"));
    for (const QString& line : quiet.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(allowed.match(line).hasMatch()) << qPrintable(line);
    EXPECT_TRUE(quiet.err.isEmpty()) << qPrintable(quiet.err);

    const CliResult verbose =
        RunCli({QStringLiteral("extract"), QStringLiteral("--verbose"), QStringLiteral("--format"),
                QStringLiteral("mp3"), QStringLiteral("--output-dir"), out.path(), media("d1/a.mp4")});
    ASSERT_EQ(verbose.exitCode, 0);
    EXPECT_TRUE(verbose.err.contains(QStringLiteral("buffer:"))) << "ffmpeg's own output";
    EXPECT_TRUE(verbose.err.contains(QStringLiteral("extractIdleTaskList task_id: 0"))) << "the engine's notes";
    for (const QString& line : verbose.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(allowed.match(line).hasMatch()) << qPrintable(line);
}

}  // namespace
