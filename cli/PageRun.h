#pragma once

// How every page sub-command of tolvex-cli ends once its options are read: a session on
// the chosen output folder, the items it works on, then each job's command printed
// (--print-command) or the page run to its end. The page's own settings come in as
// callbacks, so the order of the steps, and so the output, is one for every page.

#include "cli/CliOptions.h"
#include "cli/CliSession.h"

#include <QStringList>

#include <functional>

namespace tolvex::cli {

// Settings that hold for every item of the run (the extract format, the mute volume, ...).
using SessionSetUp = std::function<void(CliSession&)>;
// Settings of one file's item, given its task id.
using ItemSetUp = std::function<void(CliSession&, TaskId)>;
// Records the one clip of a clip page in the session and returns its task id.
using ClipAdder = std::function<TaskId(CliSession&)>;

// One item a file, in order. Returns the exit status.
int RunPageOnFiles(const CliOptions& options, PageKind page, const QStringList& files, const SessionSetUp& setUp = {},
                   const ItemSetUp& setUpItem = {});
// The split and gif pages: one clip.
int RunPageOnClip(const CliOptions& options, PageKind page, const ClipAdder& addClip);
// The merge page: every file, in order, joined by one job (`lossless`: by copying).
int RunMergeOnFiles(const CliOptions& options, const QStringList& files, const MergeSettings& settings,
                    bool lossless = false);

}  // namespace tolvex::cli
