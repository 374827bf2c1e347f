#pragma once

// Where the program keeps its files. Every per-user folder lives below the XDG data
// folder ($XDG_DATA_HOME, default ~/.local/share); sub paths may be written with "\"
// or "/". Missing levels are created on the way, so callers never create folders.

#include <QString>

namespace tolvex {

// Base data folder + "/" + sub path, created level by level.
QString AppDataFolder(const QString& subPath);
// Creates every missing level of an absolute folder path; returns the path unchanged.
// A level that cannot be created prints one console line and the walk goes on.
QString EnsureFolderPath(const QString& path);
// The output folder: "output-dir" of the settings, else <Documents>/TOLVEX视频转换器
// (the desktop when there is no documents folder). Created if missing.
QString OutputFolder();
// The default output folder, whatever the settings say.
QString DefaultOutputFolder();
// TolvexVideoConverter/Temp: thumbnails and downloads; emptied of plain files at exit.
QString TempFolder();
// TolvexVideoConverter/Log.
QString LogFolder();
// Pellam Software/PellamVideoConverter/Dump/PellamVideoConverter.dmp
QString CrashDumpPath();

// Folder of the running executable (no trailing separator).
QString ExecutableFolder();
// Channel string: key "ag" of section "global" in Config.ini beside the executable,
// at most 99 characters, empty when missing.
std::string ReadChannelAgent();

}  // namespace tolvex
