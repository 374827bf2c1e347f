#pragma once

// Page kinds, task ids and the records of the three task messages posted by an ffmpeg
// output reader to the window that owns the queues.

#include "app/PostedMessage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolvex {

// The page number: tab order of the pages and a field of every task message.
enum class PageKind : int32_t {
    Convert = 0,
    Split = 1,
    Merge = 2,
    Compress = 3,
    Rotate = 4,
    Gif = 5,
    Extract = 6,
    Mute = 7,
    Music = 8,
};
constexpr int kPageCount = 9;
// The pages that own a queue and a worker, in the order their workers start.
constexpr PageKind kQueuedPages[] = {PageKind::Convert, PageKind::Split,   PageKind::Compress, PageKind::Rotate,
                                     PageKind::Gif,     PageKind::Extract, PageKind::Mute,     PageKind::Music};

using TaskId = int32_t;
// The single merge job's task id.
constexpr TaskId kMergeTaskId = -1;

// Message numbers posted to the main window.
enum MainMessage : int {
    WM_TRAY_CALLBACK = 1034,
    WM_APP_QUIT = 1044,
    WM_SHOW_MAIN = 1048,
    WM_OPEN_HELP = 1049,
    WM_OPEN_SETTINGS = 1050,
    WM_OPEN_FEEDBACK = 1051,
    WM_CHECK_UPGRADE = 1052,
    // An update check ended on its thread (UpdateCheckedRecord, ui/main/OnlineServices.h):
    // the window shows its outcome.
    WM_UPDATE_CHECKED = 1053,
    WM_TASK_PROGRESS = 1354,
    WM_TASK_DONE = 1355,
    WM_TASK_FAILED = 1356,
    // A page job is about to be launched (TaskStartRecord): the window resets the item's
    // progress to 0 % (convert: shows its bar and label and hides its error mark). Posted
    // from the page worker, so the worker never touches a widget.
    WM_TASK_STARTED = 1358,
    // A file of an add operation was probed (and, on the convert page, got its thumbnail)
    // off the UI thread (MediaImportResult); results arrive in the order of the add.
    WM_MEDIA_IMPORTED = 1359,
    // A job's output name was reserved in the output folder (OutputNameRecord): the page
    // shows the name the file really gets.
    WM_TASK_OUTPUT = 1360,
    WM_OUTPUT_PARAMS = 1425,
    // The subfolders of a chosen folder were walked off the UI thread (SubfolderScanRecord):
    // the window asks whether to add what was found.
    WM_SUBFOLDERS_SCANNED = 1470,
    WM_SPLIT_CLIPS_READY = 1625,
    WM_GIF_CLIPS_READY = 1626,
};

// Progress of one job: input duration and current output position, in milliseconds, and
// the wall-clock time since the job started (for its time left, and what a done job took).
struct ProgressRecord : MessageRecord {
    TaskId taskId = 0;
    int32_t durationMs = 0;
    int32_t positionMs = 0;
    int32_t pageKind = 0;
    int64_t elapsedMs = 0;
};

// A job ended well. Carries the last progress of the job (may be null when none came).
struct CompletionRecord : MessageRecord {
    TaskId taskId = 0;
    std::unique_ptr<ProgressRecord> progress;
    int32_t pageKind = 0;
};

// A page job of `taskId` is about to be launched (WM_TASK_STARTED).
struct TaskStartRecord : MessageRecord {
    TaskId taskId = 0;
    int32_t pageKind = 0;
};

// The output file a job writes, as reserved for it, and the scratch files its passes
// write beside it (WM_TASK_OUTPUT).
struct OutputNameRecord : MessageRecord {
    TaskId taskId = 0;
    int32_t pageKind = 0;
    std::vector<std::string> scratchFiles;
    std::string outputPath;
    std::string dropped;  // what the output cannot hold of the input ("dropped: ..."), or empty
};

// A job failed. `reason` is a short text for the user (may be empty).
struct FailureRecord : MessageRecord {
    TaskId taskId = 0;
    int32_t pageKind = 0;
    std::string reason;
};

}  // namespace tolvex
