#pragma once

// The file name a downloaded installer gets in the Temp folder: the last segment of the
// URL's path, without query or fragment, percent-decoded. A name that would be unsafe or
// empty (a URL ending in "/", ".", "..", a segment holding a separator or a control
// character) becomes kFallbackDownloadName, so the file always lands inside the folder.

#include <QString>

#include <string>

namespace tolvex {

inline constexpr char kFallbackDownloadName[] = "TolvexVideoConverterSetup";

QString DownloadFileName(const std::string& url);

}  // namespace tolvex
