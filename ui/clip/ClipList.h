#pragma once

// The clip list of a clip dialog: the clips in the order they were added, one row each in
// the dialog's list with its name, times and a remove button; the add procedure with its
// prompts (the times' checks, a range already listed) and the clips' output names (a name
// already taken gets "-2", "-3", ...). The dialog gives what is its own: the file's length,
// the name of a new clip and, for splitting, its crop. Playback has no part in it.
//
// UI thread only.

#include "tasks/ClipRecords.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tolvex {

class CListUI;
class WindowImplBase;

class ClipList {
public:
    // The row's skin file and its control names.
    struct RowNames {
        const char* skin;
        const char* fileName;
        const char* start;
        const char* end;
        const char* remove;
    };
    // Shows a prompt with `text` over the dialog.
    using Prompt = std::function<void(const QString& text)>;

    // `window` builds the rows from their skin and gets their notifications; `list` (may
    // be null) shows them.
    ClipList(WindowImplBase& window, CListUI* list, const RowNames& names, Prompt prompt);

    // What the dialog knows of a new clip.
    struct Draft {
        std::string sourcePath;
        double fileSeconds = 0.0;              // the file's length, the limit of the times
        QString equalTimesPrompt;              // the dialog's prompt for equal start and end texts
        std::string outputName;                // the name the clip gets unless a listed clip has it
        std::function<void(SplitClip&)> fill;  // sets the crop (split dialog)
    };
    // Adds the clip from `start` to `end` (typed texts, trimmed) when the times pass the
    // checks and no listed clip has the same range; otherwise prompts why. True when added.
    bool add(const std::string& start, const std::string& end, const Draft& draft);
    // Removes the clip of a row's remove button; other buttons are not its.
    bool removeRowOf(QWidget* button);
    void clear() { m_clips.clear(); }

    // The clips of the list, in order (GIF clips use the first five fields).
    const std::vector<SplitClip>& clips() const { return m_clips; }
    void setPrompt(Prompt prompt) { m_prompt = std::move(prompt); }

private:
    // `name`, or, when a listed clip already has it, `name` with "-2", "-3"... before the
    // extension.
    std::string uniqueOutputName(const std::string& name) const;
    void addRow(const SplitClip& clip);

    WindowImplBase& m_window;
    CListUI* m_list;
    RowNames m_names;
    Prompt m_prompt;
    std::vector<SplitClip> m_clips;
    int32_t m_nextItemId = 0;
};

}  // namespace tolvex
