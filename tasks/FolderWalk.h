#pragma once

// The walk of a folder with its subfolders: every file the folder scan's extension rule
// takes, in natural order ("2.mp4" before "10.mp4"), the files of a folder before its
// subfolders. Hidden folders and files (names starting with ".") are passed over, and so
// are the folders named in `skipped` (the output folder, Temp) and every folder reached a
// second time through a symbolic link, so a link loop ends the walk of that branch.
// Plain functions over the file system; re-entrant, any thread. A large tree takes time:
// the window calls them off its thread (FolderScanner).

#include <QString>
#include <QStringList>

#include <atomic>

namespace tolvex {

// Natural order of names: digit runs compared as numbers, the rest without regard to
// letter case; ties broken by the plain text so the order is total.
bool NaturalLess(const QString& a, const QString& b);

struct FolderWalkRules {
    QStringList skipped;                       // folders not entered (compared by their real path)
    bool withTopLevel = true;                  // the files directly in the folder too
    const std::atomic<bool>* abort = nullptr;  // set: the walk ends early with what it found
};

// The accepted files under `folder`, full paths. Empty when the folder cannot be read.
QStringList WalkVideoFolder(const QString& folder, const FolderWalkRules& rules = {});

}  // namespace tolvex
