#pragma once

// The once-per-installation query of the public address under which the vendor's web
// service sees the user, kept in configure.ini (section "global", key "user-real-ip").
//
// The answer's "data" must be a non-empty text that looks like an IPv4 or IPv6 address (at
// most 55 characters of digits, hex letters, "." and ":"): anything else, like a failed
// request, writes nothing, so the next start asks again.
//
// Thread use: PublicIpQuery blocks for up to the client's time-outs and runs on its own
// thread; it shares only the client and the settings file.

#include <atomic>
#include <optional>
#include <string>

namespace tolvex {

// True when no address is stored yet (the query should run).
bool PublicIpQueryNeeded();
// The address of an answer body, or nothing when the answer has the wrong shape or the
// address is empty or does not look like one.
std::optional<std::string> ParsePublicIpAnswer(const std::string& body);
// GETs `baseUrl` + "/get_user_ip?timestamp=..." and stores the address; true when stored.
bool PublicIpQuery(const std::string& baseUrl, const std::atomic<bool>* abort = nullptr);

}  // namespace tolvex
