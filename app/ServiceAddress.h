#pragma once

// The base address of the vendor's web service (no trailing "/"), from one place:
//   1. the environment variable TOLVEX_SERVICE_URL, when set and not empty;
//   2. the "service-url" key of section "global" in "Config.ini" beside the executable;
//   3. the address given at build time (CMake option TOLVEX_SERVICE_URL).
// The built-in default lies under the reserved ".invalid" domain, which never resolves: a
// build that was not given a service sends nothing anywhere, and its online features fail
// quietly. Every online request and the help page start from this address.
// Safe from any thread (reads the file and the environment on every call).

#include <QString>

namespace tolvex {

// The address used when neither the environment nor Config.ini names one.
QString BuiltInServiceAddress();
QString ServiceBaseAddress();
// The help page of the service: the base address followed by "/help".
QString HelpPageAddress();
// True when `url`'s host lies under ".invalid" (such a name never resolves).
bool IsUnresolvableServiceUrl(const QString& url);

}  // namespace tolvex
