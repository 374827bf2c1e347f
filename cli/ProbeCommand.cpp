// tolvex-cli probe FILE...: what the media probe reports about each file, one JSON object
// per line, fields named as in MediaInfo, plus ProbeMediaInfo's result and the value of
// ProbeDurationSeconds, and every track (type, codec, language, title, flags) and chapter.
// Exit status 0 when every file was probed, 1 otherwise.

#include "app/ConsoleLog.h"
#include "app/Helpers.h"
#include "cli/CliCommands.h"
#include "media/MediaProbe.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace tolvex::cli {

namespace {

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string JsonNumber(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

const char* KindName(TrackKind kind)
{
    switch (kind) {
    case TrackKind::Video:
        return "video";
    case TrackKind::Audio:
        return "audio";
    case TrackKind::Subtitle:
        return "subtitle";
    case TrackKind::Attachment:
        return "attachment";
    case TrackKind::Data:
        return "data";
    }
    return "data";
}

std::string TracksJson(const StreamInventory& inventory)
{
    std::string json = "[";
    for (const TrackInfo& track : inventory.tracks) {
        if (json.size() > 1)
            json += ',';
        json += "{\"index\":" + std::to_string(track.index) + ",\"type\":\"" + KindName(track.kind) +
                "\",\"codec\":" + JsonString(track.codec) + ",\"language\":" + JsonString(track.language) +
                ",\"title\":" + JsonString(track.title) + ",\"default\":" + (track.isDefault ? "true" : "false") +
                ",\"forced\":" + (track.isForced ? "true" : "false") +
                ",\"coverArt\":" + (track.coverArt ? "true" : "false") + "}";
    }
    return json + "]";
}

std::string ChaptersJson(const StreamInventory& inventory)
{
    std::string json = "[";
    for (const ChapterInfo& chapter : inventory.chapters) {
        if (json.size() > 1)
            json += ',';
        json += "{\"start\":" + JsonNumber(chapter.startSeconds) + ",\"end\":" + JsonNumber(chapter.endSeconds) +
                ",\"title\":" + JsonString(chapter.title) + "}";
    }
    return json + "]";
}

std::string ProbeJson(const std::string& path)
{
    MediaInfo info(path);
    const int32_t result = ProbeMediaInfo(info);
    const double probeDuration = ProbeDurationSeconds(path);

    std::string json = "{";
    auto field = [&json](const char* name, const std::string& value) {
        if (json.size() > 1)
            json += ',';
        json += '"';
        json += name;
        json += "\":";
        json += value;
    };
    field("path", JsonString(info.path));
    field("width", std::to_string(info.width));
    field("height", std::to_string(info.height));
    field("videoStreamIndex", std::to_string(info.videoStreamIndex));
    field("audioStreamIndex", std::to_string(info.audioStreamIndex));
    field("audioSampleFormat", std::to_string(info.audioSampleFormat));
    field("videoBitRate", std::to_string(info.videoBitRate));
    field("audioBitRate", std::to_string(info.audioBitRate));
    field("sampleRate", std::to_string(info.sampleRate));
    field("channels", std::to_string(info.channels));
    field("durationSeconds", std::to_string(info.durationSeconds));
    field("frameRate", std::to_string(info.frameRate));
    field("hasRotateTag", std::to_string(info.hasRotateTag));
    field("result", std::to_string(result));
    field("probeDuration", JsonNumber(probeDuration));
    if (const auto inventory = ProbeStreamInventory(path)) {
        field("tracks", TracksJson(*inventory));
        field("chapters", ChaptersJson(*inventory));
    }
    json += "}\n";
    return json;
}

}  // namespace

int RunProbeCommand(const QStringList& arguments)
{
    // --verbose adds the probe's own diagnostic lines on standard error.
    QStringList args = arguments;
    if (args.removeAll(QStringLiteral("--verbose")) > 0)
        SetConsoleQuiet(false);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: tolvex-cli probe FILE...\n");
        return 2;
    }
    bool allProbed = true;
    for (const QString& file : args) {
        const std::string path = ToNarrowAnsi(file);
        const std::string line = ProbeJson(path);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
        // A file counts as probed when its container opened and was analysed.
        if (line.find("\"result\":0,") == std::string::npos) {
            allProbed = false;
            std::fprintf(stderr, "tolvex-cli probe: %s: could not be read\n", path.c_str());
        }
    }
    return allProbed ? 0 : 1;
}

}  // namespace tolvex::cli
