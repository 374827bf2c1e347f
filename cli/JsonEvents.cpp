#include "cli/JsonEvents.h"

#include "tasks/HeadlessRunner.h"

#include <json/value.h>
#include <json/writer.h>

#include <QFileInfo>
#include <QString>

namespace tolvex::cli {

namespace {

std::string Line(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    // Times to the millisecond, not to the last bit of a double.
    builder["precision"] = 3;
    builder["precisionType"] = "decimal";
    return Json::writeString(builder, value);
}

Json::Value Event(const char* event, const JsonItem& item)
{
    Json::Value value(Json::objectValue);
    value["event"] = event;
    value["page"] = PageName(item.page);
    value["item"] = static_cast<Json::Int64>(item.item);
    value["input"] = item.input;
    return value;
}

}  // namespace

std::string JsonProgressLine(const JsonItem& item, const TaskUpdate& update)
{
    Json::Value value = Event("progress", item);
    value["percent"] = update.percent;
    if (update.timeLeftMs)
        value["seconds_left"] = static_cast<Json::Int64>((*update.timeLeftMs + 999) / 1000);
    else
        value["seconds_left"] = Json::Value(Json::nullValue);
    return Line(value);
}

std::string JsonDoneLine(const JsonItem& item, const TaskUpdate& update, const std::string& outputPath,
                         std::optional<int64_t> promisedBytes)
{
    Json::Value value = Event("done", item);
    value["output"] = outputPath;
    const QFileInfo output(QString::fromStdString(outputPath));
    value["size"] = static_cast<Json::Int64>(output.isFile() ? output.size() : 0);
    value["seconds"] = static_cast<double>(update.elapsedMs) / 1000.0;
    if (promisedBytes)
        value["promised_size"] = static_cast<Json::Int64>(*promisedBytes);
    return Line(value);
}

std::string JsonFailedLine(const JsonItem& item, const TaskUpdate& update)
{
    Json::Value value = Event("failed", item);
    value["reason"] = update.reason;
    return Line(value);
}

std::string JsonSummaryLine(PageKind page, size_t jobs, int done, int failed)
{
    Json::Value value(Json::objectValue);
    value["event"] = "summary";
    value["page"] = PageName(page);
    value["jobs"] = static_cast<Json::UInt64>(jobs);
    value["done"] = done;
    value["failed"] = failed;
    return Line(value);
}

}  // namespace tolvex::cli
