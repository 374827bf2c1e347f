#include "cli/PageRun.h"

#include <vector>

namespace tolvex::cli {

namespace {

std::vector<TaskId> AddFiles(CliSession& session, const QStringList& files, const ItemSetUp& setUpItem)
{
    std::vector<TaskId> ids;
    ids.reserve(static_cast<size_t>(files.size()));
    for (const QString& file : files) {
        const TaskId id = session.addFile(file);
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

}  // namespace

int RunPageOnFiles(const CliOptions& options, PageKind page, const QStringList& files, const SessionSetUp& setUp,
                   const ItemSetUp& setUpItem)
{
    CliSession session(options.command(), options.outputFolder());
    if (setUp)
        setUp(session);
    return PrintOrRun(options, session, page, AddFiles(session, files, setUpItem));
}

int RunPageOnClip(const CliOptions& options, PageKind page, const ClipAdder& addClip)
{
    CliSession session(options.command(), options.outputFolder());
    return PrintOrRun(options, session, page, {addClip(session)});
}

int RunMergeOnFiles(const CliOptions& options, const QStringList& files, const MergeSettings& settings)
{
    CliSession session(options.command(), options.outputFolder());
    const std::vector<TaskId> ids = AddFiles(session, files, {});
    return options.printCommand() ? session.printMerge(ids, settings) : session.runMerge(ids, settings);
}

}  // namespace tolvex::cli
