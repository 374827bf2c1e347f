#include "tests/support/GifLikeness.h"

#include "tasks/FfmpegLocator.h"
#include "tests/support/TestMedia.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace tolvex::test {

GifFacts ReadGifFacts(const QString& gif)
{
    GifFacts facts;
    QByteArray out;
    if (!RunProgram(QStringLiteral("ffprobe"),
                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                     QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                     QStringLiteral("stream=nb_read_frames,avg_frame_rate,width,height"), QStringLiteral("-of"),
                     QStringLiteral("json"), gif},
                    &out))
        return facts;
    const QJsonArray streams = QJsonDocument::fromJson(out).object().value(QStringLiteral("streams")).toArray();
    if (streams.isEmpty())
        return facts;
    const QJsonObject stream = streams.first().toObject();
    facts.frames = stream.value(QStringLiteral("nb_read_frames")).toString().toInt();
    facts.rate = stream.value(QStringLiteral("avg_frame_rate")).toString();
    facts.width = stream.value(QStringLiteral("width")).toInt();
    facts.height = stream.value(QStringLiteral("height")).toInt();

    QFile file(gif);
    if (!file.open(QIODevice::ReadOnly))
        return facts;
    const QByteArray bytes = file.readAll();
    facts.bytes = bytes.size();
    // The application extension: "NETSCAPE2.0", a 3-byte sub-block (1, then the 16-bit
    // loop count, little-endian) and its terminator.
    const qsizetype at = bytes.indexOf("NETSCAPE2.0");
    facts.loopsForever = at >= 0 && at + 16 <= bytes.size() && bytes[at + 11] == 3 && bytes[at + 12] == 1 &&
                         bytes[at + 13] == 0 && bytes[at + 14] == 0;
    facts.ok = facts.frames > 0;
    return facts;
}

std::optional<double> GifSsim(const QString& gif, const QString& source, double startSeconds, double endSeconds)
{
    const GifFacts facts = ReadGifFacts(gif);
    if (!facts.ok)
        return std::nullopt;
    const QString graph = QStringLiteral(
                              "[1:v]trim=start=%1:end=%2,setpts=PTS-STARTPTS,scale=%3:%4,format=yuv420p[source];"
                              "[0:v]format=yuv420p[gif];[gif][source]ssim")
                              .arg(startSeconds)
                              .arg(endSeconds)
                              .arg(facts.width)
                              .arg(facts.height);
    QByteArray err;
    if (!RunProgram(QString::fromStdString(FfmpegProgramPath()),
                    {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"), QStringLiteral("-i"), gif,
                     QStringLiteral("-i"), source, QStringLiteral("-lavfi"), graph, QStringLiteral("-f"),
                     QStringLiteral("null"), QStringLiteral("-")},
                    nullptr, &err))
        return std::nullopt;
    static const QRegularExpression kAll(QStringLiteral(" All:([0-9.]+)"));
    const QRegularExpressionMatch match = kAll.match(QString::fromUtf8(err));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

}  // namespace tolvex::test
