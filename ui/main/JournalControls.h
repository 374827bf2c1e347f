#pragma once

// The controls whose settings the queue journal keeps: per page, the controls inside each
// list item (a convert item's format and size, a compress item's format, size and strength,
// a rotate item's turn, a merge row's tick) and the page's own (the extract format, the
// mute and music options, the merge format and size). Listed in the order they are set
// back, so a control that refills another (a format, its sizes) comes first.
// Values: a box's choice (its source text), a slider's number, a check box's "1" or "0",
// a line edit's text.
// UI thread only.

#include "tasks/QueueJournal.h"

#include <QString>

#include <vector>

class QWidget;

namespace tolvex {

const std::vector<const char*>& JournalItemControlNames(PageKind page);
const std::vector<const char*>& JournalPageControlNames(PageKind page);

QString JournalControlValue(const QWidget* control);
// Sets the control the way a user would, so the handlers that follow it run.
void SetJournalControlValue(QWidget* control, const QString& value);

// The values of `names` found below `container`.
JournalControls ReadJournalControls(QWidget* container, const std::vector<const char*>& names);
// Sets each control of `names` that `controls` holds a value for, in the order of `names`.
void ApplyJournalControls(QWidget* container, const std::vector<const char*>& names, const JournalControls& controls);

}  // namespace tolvex
