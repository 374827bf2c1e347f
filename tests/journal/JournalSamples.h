#pragma once

// Journals for the journal's tests: one that uses every member on every page, and long
// lists of convert items.

#include "tasks/QueueJournal.h"

#include <QString>

namespace tolvex::test {

JournalItem SampleMediaItem(const QString& path, JournalState state = JournalState::Listed);
// Every page with items, controls, clips, parameters and every job state.
QueueJournal FullJournal();
// `count` convert items of `folder`, the first `done` finished, one running, the rest waiting;
// `tag` goes into every planned output name, so two such journals differ throughout.
QueueJournal ConvertJournal(int count, const QString& folder, const QString& tag, int done = 0);

}  // namespace tolvex::test
