#include "cli/PageRun.h"

#include <cstdio>
#include <vector>

namespace tolvex::cli {

namespace {

// The files' items, in order. A file found in a folder that cannot be read as media is
// named on standard error and left out (`skipped`), so the others still run.
std::vector<TaskId> AddFiles(const CliOptions& options, CliSession& session, const QStringList& files,
                             const ItemSetUp& setUpItem, int& skipped)
{
    std::vector<TaskId> ids;
    ids.reserve(static_cast<size_t>(files.size()));
    for (const QString& file : files) {
        const QString root = options.scanRootOf(file);
        const TaskId id = session.addFile(file, root);
        if (!root.isEmpty() && !session.item(id).readable()) {
            std::fprintf(stderr, "tolvex-cli %s: cannot read media file: %s\n", options.command(),
                         file.toLocal8Bit().constData());
            ++skipped;
            continue;
        }
        if (setUpItem)
            setUpItem(session, id);
        ids.push_back(id);
    }
    return ids;
}

int PrintOrRun(const CliOptions& options, CliSession& session, PageKind page, const std::vector<TaskId>& ids)
{
    return options.printCommand() ? session.printCommands(page, ids) : session.run(page, ids);
}

// A session with the options every page shares.
void SetUpSession(const CliOptions& options, CliSession& session)
{
    session.source().setKeepTree(!options.flat());
    session.setJson(options.json());
}

// Files that were left out make the run fail, even when every job of the others completed.
int WithSkipped(int status, int skipped)
{
    return status == 0 && skipped > 0 ? 1 : status;
}

}  // namespace

int RunPageOnFiles(const CliOptions& options, PageKind page, const QStringList& files, const SessionSetUp& setUp,
                   const ItemSetUp& setUpItem)
{
    CliSession session(options.command(), options.outputFolder());
    SetUpSession(options, session);
    if (setUp)
        setUp(session);
    int skipped = 0;
    const std::vector<TaskId> ids = AddFiles(options, session, files, setUpItem, skipped);
    return WithSkipped(PrintOrRun(options, session, page, ids), skipped);
}

int RunPageOnClip(const CliOptions& options, PageKind page, const ClipAdder& addClip)
{
    CliSession session(options.command(), options.outputFolder());
    SetUpSession(options, session);
    return PrintOrRun(options, session, page, {addClip(session)});
}

int RunMergeOnFiles(const CliOptions& options, const QStringList& files, const MergeSettings& settings, bool lossless)
{
    CliSession session(options.command(), options.outputFolder());
    SetUpSession(options, session);
    int skipped = 0;
    const std::vector<TaskId> ids = AddFiles(options, session, files, {}, skipped);
    return WithSkipped(options.printCommand() ? session.printMerge(ids, settings, lossless)
                                              : session.runMerge(ids, settings, lossless),
                       skipped);
}

}  // namespace tolvex::cli
