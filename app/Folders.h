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
// TolvexVideoConverter/Temp: the folder of every process's temporary files, and of a
// finished installer download (kept for the user).
QString TempFolder();
// This process's own subfolder of Temp, named after its process id: its thumbnails, pass
// logs and unfinished downloads. Created on first use. Each process (the window, every
// tolvex-cli) deletes only its own folder, so a job of another one never loses a file.
QString ProcessTempFolder();
// Deletes this process's temp folder with everything in it; true when it is gone.
bool RemoveProcessTempFolder();
// Deletes the temp folders of processes that ended without removing theirs (a crash, a
// kill): a subfolder of Temp named after a process id no running process has. Their
// thumbnails (*-thumbnail-*.jpg) move into this process's folder first: the restored queue
// of a killed window shows them again. Returns how many folders were deleted.
int SweepStaleTempFolders();
// Where a thumbnail made by an earlier run is now: its own path while it is there, else the
// same name in this process's folder (moved by the sweep); empty when it is gone.
QString AdoptedThumbnailPath(const QString& recorded);
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
