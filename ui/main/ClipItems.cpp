#include "ui/main/ClipItems.h"

#include "app/Helpers.h"
#include "ui/framework/CListUI.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/ListItemBuilder.h"

namespace tolvex {

namespace {

template <class Clip>
int ListClips(CMainWnd& window, PageKind page, ClipHandOverList<Clip>& waiting, ClipTable<Clip>& table)
{
    const std::vector<Clip> clips = waiting.drain();
    CListUI* list = window.pageList(page);
    if (!list)
        return 0;
    int listed = 0;
    for (Clip clip : clips) {
        const TaskId id = window.newTaskId();
        QWidget* item = ListItemBuilder::buildClipItem(window, page, id, ToWideAnsi(clip.outputName),
                                                       ToWideAnsi(ClipShownStart(clip)), ToWideAnsi(clip.endText),
                                                       list->itemParent());
        if (!item)
            continue;
        list->addItem(item);
        clip.itemId = id;
        table.add(clip);
        ++listed;
    }
    return listed;
}

}  // namespace

int ListSplitClips(CMainWnd& window, SplitClipTable& table)
{
    return ListClips(window, PageKind::Split, SplitClipList(), table);
}

int ListGifClips(CMainWnd& window, GifClipTable& table)
{
    return ListClips(window, PageKind::Gif, GifClipList(), table);
}

}  // namespace tolvex
