#pragma once

// Files the program was started with ("Open with" in a file manager, or a later start that
// handed them over): the convert page is shown and they are added to it like picked files;
// a folder adds the video files in it.
// Thread use: UI thread only.

#include <QStringList>

namespace tolvex {

class CMainWnd;

void OpenFilesOnConvertPage(CMainWnd& window, const QStringList& paths);

}  // namespace tolvex
