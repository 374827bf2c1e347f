#pragma once

// What a start after an unclean end makes of the journal it found (the journal was not
// closed cleanly). Every page gets its items back with their settings:
//   - a finished item stays finished, its file untouched;
//   - a failed item stays failed (it can be retried);
//   - a running or waiting item comes back waiting, and the half-written output of a job
//     that was running goes, with the scratch files of its passes;
//   - an item whose input file is gone comes back failed with "源文件不存在" (a finished
//     one stays finished: its output is there);
//   - a merge that was running or waiting comes back waiting (failed when one of its
//     ticked inputs is gone).
// The items that come back waiting are the work the user is asked about.
// Pure: the file system is reached only through `exists`; RemoveStaleFiles deletes.

#include "tasks/QueueJournal.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace tolvex {

// The reason of an item whose input file is gone (translated where the window shows it).
inline constexpr char kSourceMissingReason[] = QT_TRANSLATE_NOOP("JobFailure", "源文件不存在");

struct QueueRestorePlan {
    QueueJournal lists;               // what the pages get back
    std::vector<QString> staleFiles;  // partial outputs and scratch files of the jobs that were running
    int unfinished = 0;               // the items (and the merge) that come back waiting
};

using FileExists = std::function<bool(const QString& path)>;

QueueRestorePlan PlanQueueRestore(const QueueJournal& journal, const FileExists& exists);

// Deletes the files that are there; returns how many went.
int RemoveStaleFiles(const std::vector<QString>& files);

}  // namespace tolvex
