#include "net/UpdateCheck.h"

#include "app/Helpers.h"
#include "net/HttpClient.h"
#include "net/ServiceEnvelope.h"

#include <glog/logging.h>

#include <charconv>
#include <vector>

namespace tolvex {

namespace {

constexpr char kUpgradeCheckBody[] = R"({"app_name":"TolvexVideoConverter"})";

std::optional<int> DecimalNumber(const std::string& text)
{
    if (text.empty() || !IsAllDigits(text))
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "force_upgrade" as a base-10 number: a JSON number, or a text that starts with one.
std::optional<bool> ForcedFlag(const Json::Value& value)
{
    if (value.isBool())
        return value.asBool();
    if (value.isIntegral())
        return value.asLargestInt() != 0;
    if (value.isString()) {
        const std::string text = value.asString();
        long long number = 0;
        const char* begin = text.data();
        if (!text.empty() && (text[0] == '-' || text[0] == '+'))
            ++begin;
        std::from_chars(begin, text.data() + text.size(), number);
        return number != 0;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ReleaseVersion> ParseReleaseVersion(const std::string& text)
{
    const std::vector<std::string> parts = SplitTokens(text, ".");
    if (parts.size() < 3)
        return std::nullopt;
    const auto major = DecimalNumber(parts[0]);
    const auto minor = DecimalNumber(parts[1]);
    const auto revision = DecimalNumber(parts[2]);
    if (!major || !minor || !revision)
        return std::nullopt;
    return ReleaseVersion{*major, *minor, *revision};
}

std::optional<UpdateInfo> ParseUpdateAnswer(const std::string& body)
{
    const auto envelope = ParseServiceEnvelope(body);
    if (!envelope || !envelope->succeeded() || !envelope->data.isObject())
        return std::nullopt;
    const Json::Value& data = envelope->data;
    const Json::Value& version = data["app_version"];
    const Json::Value& url = data["download_url"];
    if (!version.isString() || !url.isString())
        return std::nullopt;
    const auto forced = ForcedFlag(data["force_upgrade"]);
    if (!forced)
        return std::nullopt;
    // A digest of another type cannot be checked: the answer is not usable.
    const Json::Value& sha256 = data["sha256"];
    if (!sha256.isNull() && !sha256.isString())
        return std::nullopt;
    return UpdateInfo{version.asString(), url.asString(), *forced, sha256.isString() ? sha256.asString() : ""};
}

UpdateCheckResult EvaluateUpdateAnswer(const std::string& body)
{
    UpdateCheckResult result;
    const auto info = ParseUpdateAnswer(body);
    if (!info)
        return result;
    const auto remote = ParseReleaseVersion(info->appVersion);
    const auto local = ParseReleaseVersion(kLocalVersion);
    if (!remote || !local)
        return result;
    LOG(INFO) << "update check: the service offers " << remote->major << '.' << remote->minor << '.' << remote->revision
              << ", this is " << local->major << '.' << local->minor << '.' << local->revision;
    result.info = *info;
    result.outcome = *remote > *local ? UpdateCheckOutcome::NewerRelease : UpdateCheckOutcome::UpToDate;
    return result;
}

UpdateCheckResult RequestUpdateCheck(const std::string& baseUrl, const std::atomic<bool>* abort)
{
    std::string response;
    if (HttpClientInstance().PostJson(kUpgradeCheckBody, baseUrl + "/v2/upgrade_check", response, abort) != 0)
        return {};
    UpdateCheckResult result = EvaluateUpdateAnswer(response);
    if (result.outcome == UpdateCheckOutcome::Failed)
        LOG(WARNING) << "update check: unusable answer of " << response.size() << " bytes";
    return result;
}

}  // namespace tolvex
