#pragma once

// One tolvex-cli page run: the tables the window would keep (media items, output
// parameters, clip records), the job factory over them and the headless engine. A
// sub-command adds its inputs, then either prints each job's command or runs the page,
// printing each item's progress and a summary line.
//
// Thread use: the thread of the QCoreApplication; the page workers call the factory.

#include "cli/CliInputSource.h"
#include "cli/JsonEvents.h"
#include "media/OutputParamsTable.h"
#include "tasks/ClipRecords.h"
#include "tasks/MediaItem.h"
#include "tasks/PageJobFactory.h"

#include <memory>
#include <string>
#include <vector>

namespace tolvex::cli {

class CliSession {
public:
    CliSession(const char* command, QString outputFolder);
    ~CliSession();

    CliInputSource& source() { return m_source; }
    OutputParamsTable& params() { return m_params; }
    PageJobFactory& factory() { return m_factory; }
    // Runs report in JSON lines (JsonEvents) instead of text lines.
    void setJson(bool json) { m_json = json; }

    // Records a media item for a file (name, folder, size, what the probe reads) under the
    // next task id and returns the id. `scanRoot`: the folder it was found in, if any.
    TaskId addFile(const QString& absolutePath, const QString& scanRoot = {});
    TaskId addSplitClip(SplitClip clip);
    TaskId addGifClip(GifClip clip);
    const MediaItem item(TaskId id) const { return m_items.get(id); }

    // Prints the command of every task, one line each, in order; runs nothing. Returns 0,
    // or 1 when a job cannot be planned (its reason on standard error).
    int printCommands(PageKind page, const std::vector<TaskId>& ids);
    // Queues the tasks on the page and runs them to the end. Returns 0 only when every
    // job completed.
    int run(PageKind page, const std::vector<TaskId>& ids);

    // The merge page: plans the job of the given items and prints or runs it. `lossless`
    // joins by copying; files whose tracks differ are refused with the differences named.
    int printMerge(const std::vector<TaskId>& ids, const MergeSettings& settings, bool lossless = false);
    int runMerge(const std::vector<TaskId>& ids, const MergeSettings& settings, bool lossless = false);

private:
    QString label(TaskId id) const;
    JsonItem jsonItem(PageKind page, TaskId id) const;
    // ", 11.9MB (12473 bytes) of the promised 12.3MB (12900 bytes)" for a done compress
    // job; empty when its file cannot be found.
    // `outputPath`: the file the job wrote (its reserved name); empty: the planned one.
    std::string compressResultNote(TaskId id, const std::string& outputPath) const;
    int finish(PageKind page, size_t jobs, int done, int failed);
    // The merge job: the described one, or the lossless one (nothing, with the reason on
    // standard error, when the files cannot be joined that way).
    std::optional<MergeJob> planMerge(const std::vector<TaskId>& ids, const MergeSettings& settings, bool lossless);

    const char* m_command;
    CliInputSource m_source;
    MediaItemTable m_items;
    OutputParamsTable m_params;
    SplitClipTable m_splitClips;
    GifClipTable m_gifClips;
    PageJobFactory m_factory;
    TaskId m_nextId = 0;
    bool m_json = false;
};

}  // namespace tolvex::cli
