#include "tasks/QueueJournalJson.h"

#include "app/Helpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>

namespace tolvex {

namespace {

constexpr char kApp[] = "TolvexVideoConverter";

// The parameter dialog's record, member by member: index and value of each list.
struct ParamField {
    const char* name;
    int32_t OutputParams::*number;
};
constexpr ParamField kParamNumbers[] = {
    {"videoCodecIndex", &OutputParams::videoCodecIndex},     {"videoBitRateIndex", &OutputParams::videoBitRateIndex},
    {"videoBitRate", &OutputParams::videoBitRate},           {"audioCodecIndex", &OutputParams::audioCodecIndex},
    {"sampleRateIndex", &OutputParams::sampleRateIndex},     {"sampleRate", &OutputParams::sampleRate},
    {"audioBitRateIndex", &OutputParams::audioBitRateIndex}, {"audioBitRate", &OutputParams::audioBitRate},
    {"channelsIndex", &OutputParams::channelsIndex},         {"channels", &OutputParams::channels},
};

QString Wide(const std::string& text)
{
    return ToWideAnsi(text);
}

std::string Narrow(const QString& text)
{
    return ToNarrowAnsi(text);
}

void PutText(QJsonObject& object, const char* key, const QString& text)
{
    if (!text.isEmpty())
        object.insert(QLatin1String(key), text);
}

QJsonObject ControlsToJson(const JournalControls& controls)
{
    QJsonObject object;
    for (const auto& [name, value] : controls)
        object.insert(name, value);
    return object;
}

QJsonObject JobToJson(const JournalJob& job)
{
    QJsonObject object;
    object.insert(QStringLiteral("state"), QLatin1String(JournalStateName(job.state)));
    PutText(object, "output", job.output);
    if (!job.scratch.empty()) {
        QJsonArray scratch;
        for (const QString& file : job.scratch)
            scratch.append(file);
        object.insert(QStringLiteral("scratch"), scratch);
    }
    PutText(object, "reason", job.reason);
    if (job.tookMs > 0)
        object.insert(QStringLiteral("tookMs"), static_cast<double>(job.tookMs));
    return object;
}

QJsonObject ParamsToJson(const OutputParams& params)
{
    QJsonObject object;
    for (const ParamField& field : kParamNumbers)
        object.insert(QLatin1String(field.name), params.*field.number);
    object.insert(QStringLiteral("videoCodec"), Wide(params.videoCodec));
    object.insert(QStringLiteral("audioCodec"), Wide(params.audioCodec));
    return object;
}

QJsonObject ItemToJson(const JournalItem& item)
{
    QJsonObject object;
    if (item.split || item.gif) {
        QJsonObject clip;
        const std::string& source = item.split ? item.split->sourcePath : item.gif->sourcePath;
        clip.insert(QStringLiteral("source"), Wide(source));
        clip.insert(QStringLiteral("output"), Wide(item.split ? item.split->outputName : item.gif->outputName));
        clip.insert(QStringLiteral("start"), Wide(item.split ? item.split->startText : item.gif->startText));
        clip.insert(QStringLiteral("end"), Wide(item.split ? item.split->endText : item.gif->endText));
        if (item.split) {
            const SplitClip& split = *item.split;
            clip.insert(QStringLiteral("crop"),
                        QJsonArray{split.cropX, split.cropY, split.cropWidth, split.cropHeight});
            if (split.cropEnabled)
                clip.insert(QStringLiteral("cropOn"), true);
            if (split.lossless) {
                clip.insert(QStringLiteral("lossless"), true);
                clip.insert(QStringLiteral("keyFrame"), split.keyFrameSeconds);
            }
        }
        if (item.gif && item.gif->bestPicture)
            clip.insert(QStringLiteral("bestPicture"), true);
        object.insert(QStringLiteral("clip"), clip);
    } else {
        QJsonObject input;
        input.insert(QStringLiteral("path"), item.media.fullPath);
        input.insert(QStringLiteral("name"), item.media.fileName);
        PutText(input, "folder", item.media.folder);
        input.insert(QStringLiteral("size"), static_cast<double>(item.media.fileSize));
        input.insert(QStringLiteral("duration"), item.media.duration);
        // What the add's probe found, so that a restored item needs no probe either.
        input.insert(QStringLiteral("width"), item.media.width);
        input.insert(QStringLiteral("height"), item.media.height);
        input.insert(QStringLiteral("turn"), item.media.uprightTurn);
        input.insert(QStringLiteral("sound"), item.media.hasAudio);
        input.insert(QStringLiteral("soundTracks"), item.media.audioTrackCount);
        PutText(input, "scanRoot", item.media.scanRoot);
        object.insert(QStringLiteral("input"), input);
    }
    if (!item.controls.empty())
        object.insert(QStringLiteral("controls"), ControlsToJson(item.controls));
    PutText(object, "outputName", item.outputName);
    PutText(object, "thumbnail", item.thumbnail);
    if (item.fileRow)
        object.insert(QStringLiteral("fileRow"), true);
    if (item.params)
        object.insert(QStringLiteral("params"), ParamsToJson(*item.params));
    object.insert(QStringLiteral("job"), JobToJson(item.job));
    return object;
}

// Reads the members of one object, remembering the first one that is not what it must be.
class Reader {
public:
    QString error;

    bool ok() const { return error.isEmpty(); }
    void fail(const QString& what)
    {
        if (error.isEmpty())
            error = what;
    }

    QString text(const QJsonObject& object, const char* key, bool required = false)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            if (required)
                fail(QStringLiteral("\"%1\" is missing").arg(QLatin1String(key)));
            return {};
        }
        if (!value.isString())
            fail(QStringLiteral("\"%1\" is not a text").arg(QLatin1String(key)));
        return value.toString();
    }

    double number(const QJsonObject& object, const char* key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return 0.0;
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            fail(QStringLiteral("\"%1\" is not a number").arg(QLatin1String(key)));
        return value.toDouble();
    }

    int32_t whole(const QJsonObject& object, const char* key)
    {
        const double value = number(object, key);
        if (value != std::trunc(value) || value < INT32_MIN || value > INT32_MAX)
            fail(QStringLiteral("\"%1\" is not a whole number").arg(QLatin1String(key)));
        return ok() ? static_cast<int32_t>(value) : 0;
    }

    bool flag(const QJsonObject& object, const char* key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return false;
        if (!value.isBool())
            fail(QStringLiteral("\"%1\" is not true or false").arg(QLatin1String(key)));
        return value.toBool();
    }

    QJsonObject object(const QJsonObject& parent, const char* key, bool required = false)
    {
        const QJsonValue value = parent.value(QLatin1String(key));
        if (value.isUndefined()) {
            if (required)
                fail(QStringLiteral("\"%1\" is missing").arg(QLatin1String(key)));
            return {};
        }
        if (!value.isObject())
            fail(QStringLiteral("\"%1\" is not an object").arg(QLatin1String(key)));
        return value.toObject();
    }

    QJsonArray array(const QJsonObject& parent, const char* key)
    {
        const QJsonValue value = parent.value(QLatin1String(key));
        if (value.isUndefined())
            return {};
        if (!value.isArray())
            fail(QStringLiteral("\"%1\" is not a list").arg(QLatin1String(key)));
        return value.toArray();
    }

    JournalControls controls(const QJsonObject& parent)
    {
        JournalControls controls;
        const QJsonObject object = this->object(parent, "controls");
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!it.value().isString())
                fail(QStringLiteral("control \"%1\" is not a text").arg(it.key()));
            controls[it.key()] = it.value().toString();
        }
        return controls;
    }

    JournalJob job(const QJsonObject& parent)
    {
        JournalJob job;
        const QJsonObject object = this->object(parent, "job");
        const QString state = text(object, "state");
        if (!state.isEmpty()) {
            if (const auto known = JournalStateFromName(state))
                job.state = *known;
            else
                fail(QStringLiteral("unknown job state \"%1\"").arg(state));
        }
        job.output = text(object, "output");
        for (const QJsonValue file : array(object, "scratch")) {
            if (!file.isString())
                fail(QStringLiteral("a scratch file is not a text"));
            job.scratch.push_back(file.toString());
        }
        job.reason = text(object, "reason");
        job.tookMs = static_cast<int64_t>(number(object, "tookMs"));
        return job;
    }

    OutputParams params(const QJsonObject& object)
    {
        OutputParams params;
        for (const ParamField& field : kParamNumbers)
            params.*field.number = whole(object, field.name);
        params.videoCodec = Narrow(text(object, "videoCodec"));
        params.audioCodec = Narrow(text(object, "audioCodec"));
        return params;
    }

    JournalItem item(const QJsonValue& value, PageKind page)
    {
        JournalItem item;
        if (!value.isObject()) {
            fail(QStringLiteral("an item is not an object"));
            return item;
        }
        const QJsonObject object = value.toObject();
        if (page == PageKind::Split || page == PageKind::Gif) {
            const QJsonObject clip = this->object(object, "clip", true);
            const std::string source = Narrow(text(clip, "source", true));
            const std::string output = Narrow(text(clip, "output", true));
            const std::string start = Narrow(text(clip, "start", true));
            const std::string end = Narrow(text(clip, "end", true));
            if (page == PageKind::Split) {
                SplitClip split;
                split.sourcePath = source;
                split.outputName = output;
                split.startText = start;
                split.endText = end;
                const QJsonArray crop = array(clip, "crop");
                split.cropEnabled = flag(clip, "cropOn") ? 1 : 0;
                split.lossless = flag(clip, "lossless") ? 1 : 0;
                if (split.lossless && clip.contains(QStringLiteral("keyFrame")))
                    split.keyFrameSeconds = number(clip, "keyFrame");
                if (!crop.isEmpty()) {
                    if (crop.size() != 4)
                        fail(QStringLiteral("a crop is not four numbers"));
                    split.cropX = crop.at(0).toInt();
                    split.cropY = crop.at(1).toInt();
                    split.cropWidth = crop.at(2).toInt();
                    split.cropHeight = crop.at(3).toInt();
                }
                item.split = split;
            } else {
                item.gif = GifClip{0, source, output, start, end, flag(clip, "bestPicture")};
            }
        } else {
            const QJsonObject input = this->object(object, "input", true);
            item.media.fullPath = text(input, "path", true);
            item.media.fileName = text(input, "name", true);
            item.media.folder = text(input, "folder");
            item.media.fileSize = static_cast<int64_t>(number(input, "size"));
            item.media.duration = number(input, "duration");
            item.media.width = whole(input, "width");
            item.media.height = whole(input, "height");
            item.media.uprightTurn = whole(input, "turn");
            item.media.hasAudio = !input.contains(QStringLiteral("sound")) || flag(input, "sound");
            item.media.audioTrackCount =
                input.contains(QStringLiteral("soundTracks")) ? whole(input, "soundTracks") : -1;
            item.media.scanRoot = text(input, "scanRoot");
        }
        item.controls = controls(object);
        item.outputName = text(object, "outputName");
        item.thumbnail = text(object, "thumbnail");
        item.fileRow = flag(object, "fileRow");
        if (object.contains(QStringLiteral("params")))
            item.params = params(this->object(object, "params"));
        item.job = job(object);
        return item;
    }
};

}  // namespace

QByteArray QueueJournalToJson(const QueueJournal& journal)
{
    QJsonObject pages;
    for (int i = 0; i < kPageCount; ++i) {
        const auto kind = static_cast<PageKind>(i);
        const JournalPage& page = journal.page(kind);
        const bool mergeJob = kind == PageKind::Merge && page.mergeJob.state != JournalState::Listed;
        if (page.items.empty() && page.controls.empty() && !mergeJob)
            continue;
        QJsonObject object;
        if (!page.controls.empty())
            object.insert(QStringLiteral("controls"), ControlsToJson(page.controls));
        QJsonArray items;
        for (const JournalItem& item : page.items)
            items.append(ItemToJson(item));
        object.insert(QStringLiteral("items"), items);
        if (mergeJob)
            object.insert(QStringLiteral("job"), JobToJson(page.mergeJob));
        pages.insert(QLatin1String(JournalPageName(kind)), object);
    }
    QJsonObject root;
    root.insert(QStringLiteral("app"), QLatin1String(kApp));
    root.insert(QStringLiteral("version"), QueueJournal::kVersion);
    root.insert(QStringLiteral("closedCleanly"), journal.closedCleanly);
    root.insert(QStringLiteral("pages"), pages);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

JournalParse QueueJournalFromJson(const QByteArray& document)
{
    JournalParse parse;
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError) {
        parse.detail = QStringLiteral("not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset);
        return parse;
    }
    if (!json.isObject() || json.object().value(QStringLiteral("app")).toString() != QLatin1String(kApp)) {
        parse.detail = QStringLiteral("not a journal of this program");
        return parse;
    }
    const QJsonObject root = json.object();
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != std::trunc(version.toDouble()) || version.toDouble() < 1) {
        parse.status = JournalParse::Status::UnknownVersion;
        parse.detail = QStringLiteral("no known version");
        return parse;
    }
    parse.version = version.toInt();
    if (version.toDouble() > QueueJournal::kVersion) {
        parse.status = JournalParse::Status::NewerVersion;
        parse.detail =
            QStringLiteral("version %1 is newer than %2").arg(version.toDouble()).arg(QueueJournal::kVersion);
        return parse;
    }

    Reader reader;
    parse.journal.closedCleanly = reader.flag(root, "closedCleanly");
    const QJsonObject pages = reader.object(root, "pages", true);
    for (auto it = pages.begin(); it != pages.end() && reader.ok(); ++it) {
        const std::optional<PageKind> kind = JournalPageFromName(it.key());
        if (!kind) {
            reader.fail(QStringLiteral("unknown page \"%1\"").arg(it.key()));
            break;
        }
        if (!it.value().isObject()) {
            reader.fail(QStringLiteral("page \"%1\" is not an object").arg(it.key()));
            break;
        }
        const QJsonObject object = it.value().toObject();
        JournalPage& page = parse.journal.page(*kind);
        page.controls = reader.controls(object);
        for (const QJsonValue item : reader.array(object, "items"))
            page.items.push_back(reader.item(item, *kind));
        if (*kind == PageKind::Merge)
            page.mergeJob = reader.job(object);
    }
    if (!reader.ok()) {
        parse.journal = QueueJournal{};
        parse.detail = reader.error;
        return parse;
    }
    parse.status = JournalParse::Status::Ok;
    return parse;
}

}  // namespace tolvex
