#include "JobTestMedia.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace tolvex::test {

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

ClipSpec Clip(int width, int height, double seconds, Sound sound)
{
    ClipSpec spec;
    spec.width = width;
    spec.height = height;
    spec.seconds = seconds;
    spec.sound = sound;
    return spec;
}

bool MakeClip(const QString& path, const ClipSpec& spec)
{
    const QString seconds = QString::number(spec.seconds);
    QStringList args = {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                        QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("testsrc2=size=%1x%2:rate=25:duration=%3").arg(spec.width).arg(spec.height).arg(seconds)};
    if (spec.sound == Sound::Tone)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(spec.toneHz).arg(seconds);
    else if (spec.sound == Sound::Silence)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("anullsrc=channel_layout=stereo:sample_rate=44100") << QStringLiteral("-t") << seconds;
    args << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    if (!spec.videoBitRate.isEmpty())
        args << QStringLiteral("-b:v") << spec.videoBitRate;
    if (spec.sound != Sound::None)
        args << QStringLiteral("-c:a") << QStringLiteral("aac");
    args << path;
    return RunProgram(QStringLiteral("ffmpeg"), args);
}

bool MakeTone(const QString& path, double seconds, int hz)
{
    return RunProgram(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                       QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(hz).arg(seconds), path});
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
    for (const QJsonValue& value : root.value(QStringLiteral("streams")).toArray()) {
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

double MeanVolumeDb(const QString& path)
{
    QByteArray err;
    if (!RunProgram(QStringLiteral("ffmpeg"),
                    {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-i"), path,
                     QStringLiteral("-vn"), QStringLiteral("-af"), QStringLiteral("volumedetect"), QStringLiteral("-f"),
                     QStringLiteral("null"), QStringLiteral("-")},
                    nullptr, &err))
        return std::numeric_limits<double>::quiet_NaN();
    const auto match = QRegularExpression(QStringLiteral("mean_volume: (-?[0-9.]+|-inf) dB")).match(QString::fromUtf8(err));
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

}  // namespace tolvex::test
