#pragma once

// The folder each kind of file picker opens in: the one the user last picked from, kept in
// configure.ini (section "folders"): video files for the video pages, sound pages' videos
// (extract, volume, music), and background music each remember their own. The first time,
// or when the folder is gone, the desktop's videos or music folder.
// Thread use: UI thread only (the settings file itself is safe on any thread).

#include "tasks/TaskTypes.h"

#include <QString>

namespace tolvex {

enum class PickerKind { Video, Audio, Music };

PickerKind PickerKindOf(PageKind page);
// The settings key of the kind ("video", "audio", "music").
QString PickerKey(PickerKind kind);

QString PickerStartFolder(PickerKind kind);
// Remembers `folder` (a folder picked, or the folder of a picked file); empty is ignored.
void RememberPickerFolder(PickerKind kind, const QString& folder);

}  // namespace tolvex
