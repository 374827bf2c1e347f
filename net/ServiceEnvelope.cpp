#include "net/ServiceEnvelope.h"

#include <json/reader.h>

#include <memory>

namespace tolvex {

std::optional<ServiceEnvelope> ParseServiceEnvelope(const std::string& body)
{
    try {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = true;
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(body.data(), body.data() + body.size(), &root, &errors))
            return std::nullopt;
        if (!root.isObject())
            return std::nullopt;
        const Json::Value& ret = root["ret"];
        if (!ret.isInt())
            return std::nullopt;
        ServiceEnvelope envelope;
        envelope.ret = ret.asInt();
        envelope.data = root["data"];
        return envelope;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace tolvex
