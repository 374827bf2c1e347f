#pragma once

// Empties the temporary folder at shutdown: thumbnails and downloads go, sub-folders stay.

#include <QString>

namespace tolvex {

// Deletes the plain files directly in `folder` (hidden ones included; a link is removed,
// never what it points to). Returns how many were deleted.
int RemovePlainFiles(const QString& folder);

}  // namespace tolvex
