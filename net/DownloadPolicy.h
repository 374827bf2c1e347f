#pragma once

// Where an installer download may go. Each connection of a download (the first and one
// for every redirect) is checked before its request is sent:
//   - https always;
//   - http only to a loopback address (the local service a developer runs), and only while
//     no earlier hop of the same download was https: a download that started safe, or was
//     sent to a safe place, stays safe;
//   - nothing else.
// The address is the one the connection actually reached, not the name in the URL.
// Pure functions, any thread.

#include <string_view>

namespace tolvex {

// 127.0.0.0/8, ::1 and the IPv4-mapped 127.x addresses.
bool IsLoopbackAddress(std::string_view address);

// `url`: the URL of this hop; `address`: the numeric address it connected to;
// `httpsBefore`: an earlier hop of the download was https.
bool MayDownloadOver(std::string_view url, std::string_view address, bool httpsBefore);

// True when `url` starts with "https://" (any case).
bool IsHttpsUrl(std::string_view url);

}  // namespace tolvex
