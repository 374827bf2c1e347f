#pragma once

// Asking the vendor's web service whether a newer release than this one exists.
//
// RequestUpdateCheck POSTs {"app_name":"TolvexVideoConverter"} to "/v2/upgrade_check" and
// reads the answer's "data": "app_version" (three decimal numbers joined by dots),
// "download_url", "force_upgrade" (a number, or a text holding one; non-zero = forced) and,
// when the service gives it, "sha256" (the installer's SHA-256 in hexadecimal: the file is
// opened only when it matches).
// A failed request, an answer that is not JSON, "ret" not 0, a member that is missing or of
// another type, or a version that is not three numbers: the check failed (never throws).
//
// Thread use: RequestUpdateCheck blocks for up to the client's time-outs; call it off the UI
// thread. The other functions are pure.

#include "app/BuildInfo.h"

#include <atomic>
#include <optional>
#include <string>

namespace tolvex {

// This program's version (the project's version).
inline constexpr const char* kLocalVersion = kProgramVersion;

struct ReleaseVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
    auto operator<=>(const ReleaseVersion&) const = default;
};

// The first three parts of "M.m.r[...]" as decimal numbers; nothing with fewer parts or a
// part that is not a decimal number.
std::optional<ReleaseVersion> ParseReleaseVersion(const std::string& text);

struct UpdateInfo {
    std::string appVersion;
    std::string downloadUrl;
    bool forced = false;
    std::string sha256;  // empty when the answer has none
};

// The update information of an answer body, or nothing when it has the wrong shape.
std::optional<UpdateInfo> ParseUpdateAnswer(const std::string& body);

enum class UpdateCheckOutcome {
    Failed,        // no usable answer: nothing is shown
    UpToDate,      // the service's release is not newer
    NewerRelease,  // `info` describes it
};

struct UpdateCheckResult {
    UpdateCheckOutcome outcome = UpdateCheckOutcome::Failed;
    UpdateInfo info;
};

// Compares the answer with kLocalVersion (both versions go to the log).
UpdateCheckResult EvaluateUpdateAnswer(const std::string& body);

// The whole check against the service at `baseUrl`. `abort` ends the request early.
UpdateCheckResult RequestUpdateCheck(const std::string& baseUrl, const std::atomic<bool>* abort = nullptr);

}  // namespace tolvex
