#pragma once

// The base address of the vendor's web service (no trailing "/"): the "service-url" key of
// section "global" in "Config.ini" beside the executable when present (tests and a local
// service point it at loopback), else the public address. Every online request and the
// help page start from it. Safe from any thread.

#include <QString>

namespace tolvex {

QString ServiceBaseAddress();
// The help page of the service: the base address followed by "/help".
QString HelpPageAddress();

}  // namespace tolvex
