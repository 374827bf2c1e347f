#pragma once

// The journal of the window's page lists: what every page holds (its items with their
// inputs and settings, the page's own settings) and how far each item's job got. The
// window keeps it on disk while it runs, so that a start after a crash, a kill or a power
// cut can put the lists back, delete the half-written files of the jobs that were running,
// and go on. A clean quit leaves an empty journal marked as closed cleanly.
//
// Plain values: the window builds one from its lists, a writer thread saves copies of it.

#include "media/OutputParams.h"
#include "tasks/ClipRecords.h"
#include "tasks/MediaItem.h"
#include "tasks/TaskTypes.h"

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

// How far an item's job got.
enum class JournalState {
    Listed,   // on the list, never queued (or its job was stopped)
    Waiting,  // queued, not started yet
    Running,  // its ffmpeg was running; `output` is the file it was writing
    Done,     // `output` is the finished file
    Failed,   // `reason` says why
};

// The last job of an item (or of the merge page).
struct JournalJob {
    JournalState state = JournalState::Listed;
    QString output;                // running: the reserved name; done: the file written
    std::vector<QString> scratch;  // running: the files its passes write besides the output
    QString reason;                // failed
    int64_t tookMs = 0;            // done: how long the job took

    bool operator==(const JournalJob&) const = default;
};

// The settings of one list item that live in its controls, by control name ("video-convert-format",
// "video-compress-slider", "merge-check-box-item", ...): a box's choice, a slider's value, a
// check box's "1" or "0".
using JournalControls = std::map<QString, QString>;
// The tick of a merge row: "1" when the row is one of the merge's inputs.
inline constexpr char kMergeTickControl[] = "merge-check-box-item";

struct JournalItem {
    MediaItem media;  // the input file (split and gif items: the clip's source)
    JournalControls controls;
    QString outputName;                  // convert: the planned output name
    QString thumbnail;                   // convert: the thumbnail file shown
    bool fileRow = false;                // convert: the compact row of "add-convert-file"
    std::optional<OutputParams> params;  // convert: the parameter dialog's record
    std::optional<SplitClip> split;      // split page
    std::optional<GifClip> gif;          // gif page
    JournalJob job;

    // The file the item's job reads.
    QString inputPath() const;
    bool operator==(const JournalItem& other) const;
};

struct JournalPage {
    std::vector<JournalItem> items;  // in list order
    JournalControls controls;        // the page's own settings (extract format, music file, merge format...)
    JournalJob mergeJob;             // merge page only: the merge of its ticked items

    bool operator==(const JournalPage&) const = default;
};

struct QueueJournal {
    // The document version this program writes and reads.
    static constexpr int kVersion = 1;

    bool closedCleanly = false;
    std::array<JournalPage, kPageCount> pages;

    JournalPage& page(PageKind kind) { return pages[static_cast<size_t>(kind)]; }
    const JournalPage& page(PageKind kind) const { return pages[static_cast<size_t>(kind)]; }
    // No page holds an item.
    bool hasNoItems() const;
    size_t itemCount() const;
    // Queued or running work: the items waiting or running, and a waiting or running merge.
    int unfinishedCount() const;

    bool operator==(const QueueJournal&) const = default;
};

// The page names the journal uses ("convert", "split", "merge", ...), and back.
const char* JournalPageName(PageKind page);
std::optional<PageKind> JournalPageFromName(const QString& name);
const char* JournalStateName(JournalState state);
std::optional<JournalState> JournalStateFromName(const QString& name);

}  // namespace tolvex
