#include "ui/clip/ClipList.h"

#include "app/Helpers.h"
#include "ui/clip/ClipTimes.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/WindowImplBase.h"

#include <QCoreApplication>

namespace tolvex {

ClipList::ClipList(WindowImplBase& window, CListUI* list, const RowNames& names, Prompt prompt)
    : m_window(window), m_list(list), m_names(names), m_prompt(std::move(prompt))
{
}

bool ClipList::add(const std::string& start, const std::string& end, const Draft& draft)
{
    const QString problem = CheckClipTimes(start, end, draft.fileSeconds, draft.equalTimesPrompt);
    if (!problem.isEmpty()) {
        m_prompt(problem);
        return false;
    }

    SplitClip clip;
    clip.itemId = m_nextItemId;
    clip.sourcePath = draft.sourcePath;
    clip.outputName = uniqueOutputName(draft.outputName);
    clip.startText = start;
    clip.endText = end;
    if (draft.fill)
        draft.fill(clip);
    for (const SplitClip& listed : m_clips) {
        if (listed.startText == clip.startText && listed.endText == clip.endText) {
            m_prompt(QCoreApplication::translate("ClipDialog", "该片段已存在列表中!"));
            return false;
        }
    }

    m_clips.push_back(clip);
    addRow(clip);
    ++m_nextItemId;
    return true;
}

void ClipList::addRow(const SplitClip& clip)
{
    if (!m_list)
        return;
    QWidget* row = m_window.buildFromSkin(QString::fromLatin1(m_names.skin), m_list->itemParent());
    if (!row)
        return;
    row->setObjectName(QStringLiteral("item-%1").arg(clip.itemId));
    SetControlTag(row, clip.itemId);
    SetControlText(FindSubControl(row, QString::fromLatin1(m_names.fileName)), ToWideAnsi(clip.outputName));
    // A lossless clip shows where it really starts: its key frame.
    SetControlText(FindSubControl(row, QString::fromLatin1(m_names.start)), ToWideAnsi(ClipShownStart(clip)));
    SetControlText(FindSubControl(row, QString::fromLatin1(m_names.end)), ToWideAnsi(clip.endText));
    if (QWidget* remove = FindSubControl(row, QString::fromLatin1(m_names.remove))) {
        SetControlTag(remove, clip.itemId);
        remove->setAccessibleName(QCoreApplication::translate("ClipDialog", "删除片段 %1 - %2")
                                      .arg(ToWideAnsi(clip.startText), ToWideAnsi(clip.endText)));
    }
    m_list->addItem(row);
}

std::string ClipList::uniqueOutputName(const std::string& name) const
{
    // Names carry the time to the second; two clips added within one second would write the
    // same file, the second job replacing the first clip. The later one gets a number.
    auto taken = [this](const std::string& candidate) {
        for (const SplitClip& clip : m_clips) {
            if (clip.outputName == candidate)
                return true;
        }
        return false;
    };
    if (!taken(name))
        return name;
    const size_t dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        std::string candidate = stem + "-" + std::to_string(n) + extension;
        if (!taken(candidate))
            return candidate;
    }
}

bool ClipList::removeRowOf(QWidget* button)
{
    if (!button || button->objectName() != QLatin1String(m_names.remove))
        return false;
    const qint64 id = ControlTag(button);
    for (auto it = m_clips.begin(); it != m_clips.end(); ++it) {
        if (it->itemId == id) {
            m_clips.erase(it);
            break;
        }
    }
    if (m_list) {
        if (QWidget* row = m_list->findItem(QStringLiteral("item-%1").arg(id)))
            m_list->removeItem(row);
    }
    return true;
}

}  // namespace tolvex
