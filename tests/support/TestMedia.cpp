#include "tests/support/TestMedia.h"

#include "tasks/ChildProcess.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/MediaItemProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

namespace tolvex::test {

namespace {

std::string Text(double value)
{
    return QString::number(value).toStdString();
}

// The lavfi source of a sine tone at 44100 Hz.
std::string ToneSource(int hz, double seconds)
{
    return "sine=frequency=" + std::to_string(hz) + ":sample_rate=44100:duration=" + Text(seconds);
}

}  // namespace

bool RunProgram(const QString& program, const QStringList& args, QByteArray* out, QByteArray* err, int timeoutMs)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return false;
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool RunFfmpeg(const std::vector<std::string>& args, std::string* output)
{
    std::vector<std::string> argv{FfmpegProgramPath(), "-hide_banner", "-nostdin", "-y"};
    argv.insert(argv.end(), args.begin(), args.end());
    UniqueFd pipe;
    std::string error;
    auto process = ChildProcess::spawn(argv, pipe, error);
    if (!process) {
        std::fprintf(stderr, "cannot run ffmpeg: %s\n", error.c_str());
        return false;
    }
    std::string printed;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipe.get(), buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        printed.append(buffer, static_cast<size_t>(n));
    }
    const bool ok = process->waitForExit().success();
    if (output)
        *output = std::move(printed);
    else if (!ok)
        std::fprintf(stderr, "ffmpeg failed: %s\n", printed.c_str());
    return ok;
}

ClipShape Clip(int width, int height, double seconds, Sound sound)
{
    ClipShape shape;
    shape.width = width;
    shape.height = height;
    shape.seconds = seconds;
    shape.sound = sound;
    return shape;
}

bool MakeClip(const QString& path, const ClipShape& shape)
{
    const std::string seconds = Text(shape.seconds);
    std::vector<std::string> args{"-loglevel",
                                  "error",
                                  "-f",
                                  "lavfi",
                                  "-i",
                                  "testsrc2=size=" + std::to_string(shape.width) + "x" + std::to_string(shape.height) +
                                      ":rate=25:duration=" + seconds};
    if (shape.sound == Sound::Tone)
        args.insert(args.end(), {"-f", "lavfi", "-i", ToneSource(shape.toneHz, shape.seconds)});
    else if (shape.sound == Sound::Silence)
        args.insert(args.end(),
                    {"-f", "lavfi", "-i", "anullsrc=channel_layout=stereo:sample_rate=44100", "-t", seconds});
    if (shape.codec == VideoCodec::H264)
        args.insert(args.end(), {"-c:v", "libx264", "-pix_fmt", "yuv420p"});
    else
        args.insert(args.end(), {"-c:v", "mpeg4", "-threads", "1"});
    if (!shape.videoBitRate.isEmpty())
        args.insert(args.end(), {"-b:v", shape.videoBitRate.toStdString()});
    if (shape.sound != Sound::None)
        args.insert(args.end(), {"-c:a", "aac"});
    args.push_back(path.toStdString());
    return RunFfmpeg(args);
}

bool MakeVideo(const std::string& path, double seconds, int width, int height, bool withAudio)
{
    ClipShape shape = Clip(width, height, seconds, withAudio ? Sound::Tone : Sound::None);
    shape.codec = VideoCodec::Mpeg4;
    return MakeClip(QString::fromStdString(path), shape);
}

bool MakeTone(const QString& path, double seconds, int hz)
{
    return RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i", ToneSource(hz, seconds), path.toStdString()});
}

bool MakeAudio(const std::string& path, double seconds)
{
    return RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i", ToneSource(440, seconds), "-c:a", "aac", path});
}

std::vector<std::string> ConvertArgs(const std::string& input, const std::string& output)
{
    return {"-i", input, "-c:v", "mpeg4", "-threads", "1", "-c:a", "aac", "-y", output};
}

ProbedFile ProbeFile(const QString& path)
{
    ProbedFile result;
    QByteArray out;
    if (!RunProgram(QStringLiteral("ffprobe"),
                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_streams"),
                     QStringLiteral("-show_format"), QStringLiteral("-of"), QStringLiteral("json"), path},
                    &out))
        return result;
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    result.ok = root.contains(QStringLiteral("format"));
    const QJsonObject format = root.value(QStringLiteral("format")).toObject();
    result.duration = format.value(QStringLiteral("duration")).toString().toDouble();
    result.formatName = format.value(QStringLiteral("format_name")).toString();
    for (const auto& value : root.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value(QStringLiteral("codec_type")).toString();
        if (type == QLatin1String("video") && !result.hasVideo) {
            result.hasVideo = true;
            result.width = stream.value(QStringLiteral("width")).toInt();
            result.height = stream.value(QStringLiteral("height")).toInt();
            result.videoCodec = stream.value(QStringLiteral("codec_name")).toString();
        } else if (type == QLatin1String("audio") && !result.hasAudio) {
            result.hasAudio = true;
            result.audioCodec = stream.value(QStringLiteral("codec_name")).toString();
            result.channels = stream.value(QStringLiteral("channels")).toInt();
            result.sampleRate = stream.value(QStringLiteral("sample_rate")).toString().toInt();
        }
    }
    return result;
}

unsigned PictureColourAt(const QString& path, double x, double y)
{
    const ProbedFile probed = ProbeFile(path);
    if (!probed.hasVideo || probed.width <= 0 || probed.height <= 0)
        return 0;
    QByteArray rgb;
    if (!RunProgram(QString::fromStdString(FfmpegProgramPath()),
                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
                     QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("rawvideo"),
                     QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"), QStringLiteral("-")},
                    &rgb))
        return 0;
    const int column = std::clamp(static_cast<int>(x * probed.width), 0, probed.width - 1);
    const int row = std::clamp(static_cast<int>(y * probed.height), 0, probed.height - 1);
    const qsizetype at = (static_cast<qsizetype>(row) * probed.width + column) * 3;
    if (rgb.size() < at + 3)
        return 0;
    const auto byte = [&](qsizetype i) { return static_cast<unsigned>(static_cast<unsigned char>(rgb.at(i))); };
    return 0xFF000000U | byte(at) << 16 | byte(at + 1) << 8 | byte(at + 2);
}

MediaItem ImportedItem(const QString& path)
{
    const QFileInfo info(path);
    MediaItem item;
    item.fileName = info.fileName();
    item.folder = info.absolutePath() + QLatin1Char('/');
    item.fullPath = info.absoluteFilePath();
    item.fileSize = info.size();
    ProbeMediaItem(item);
    return item;
}

double MeanVolumeDb(const QString& path)
{
    std::string printed;
    if (!RunFfmpeg({"-nostats", "-i", path.toStdString(), "-vn", "-af", "volumedetect", "-f", "null", "-"}, &printed))
        return std::numeric_limits<double>::quiet_NaN();
    const auto match =
        QRegularExpression(QStringLiteral("mean_volume: (-?[0-9.]+|-inf) dB")).match(QString::fromStdString(printed));
    if (!match.hasMatch())
        return std::numeric_limits<double>::quiet_NaN();
    if (match.captured(1) == QLatin1String("-inf"))
        return -std::numeric_limits<double>::infinity();
    return match.captured(1).toDouble();
}

QString SingleFileIn(const QString& folder, const QString& nameFilter)
{
    const QFileInfoList files = QDir(folder).entryInfoList({nameFilter}, QDir::Files);
    return files.size() == 1 ? files.front().absoluteFilePath() : QString();
}

bool NoChildProcesses()
{
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

bool ProcessGone(int pid)
{
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

int RunningChildren(const QString& name)
{
    // /proc/<pid>/stat is "pid (comm) state ppid ..."; comm may hold spaces and brackets,
    // so the fields are read after its last ')'.
    const qint64 self = ::getpid();
    int count = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 2 || fields[0] == "Z" || fields[1].toLongLong() != self)
            continue;
        if (QString::fromLocal8Bit(line.mid(open + 1, close - open - 1)) == name)
            ++count;
    }
    return count;
}

}  // namespace tolvex::test
