#pragma once

// The shape of every answer of the vendor's web service: a JSON object with an integer
// "ret" (0 means success) and a "data" member whose type depends on the service.

#include <json/value.h>

#include <optional>
#include <string>

namespace tolvex {

struct ServiceEnvelope {
    int ret = -1;
    Json::Value data;  // null when the answer has none

    bool succeeded() const { return ret == 0; }
};

// Parses an answer body. Nothing when the body is not JSON, not an object, or its "ret" is
// missing or not an integer. Never throws.
std::optional<ServiceEnvelope> ParseServiceEnvelope(const std::string& body);

}  // namespace tolvex
