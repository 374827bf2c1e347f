#pragma once

// The output folder box shared by all pages and its two buttons: "output-choose-btn" picks
// a folder (it must take a test file, else "该目录没有写入权限!" and nothing changes) and
// stores it as the "output-dir" setting; "output-open-btn" opens the shown folder in the
// desktop's file manager; the "keep-tree-check" box beside them is the "keep-tree"
// setting (items from folder scans keep their folders under the output folder).
// UI thread only.

#include "ui/main/MainWndHandler.h"

#include <QString>

namespace tolvex {

class OutputFolderControls : public MainWndHandler {
public:
    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;

    // What the choose button does once a folder was picked: the write test, then the box
    // and the setting. False (after the notice) when the folder takes no file.
    bool useFolder(const QString& folder);

    // Whether a file can be created in `folder`: creates "tolvexTmp" there (failing when it
    // exists already) and deletes it again.
    static bool canWriteInto(const QString& folder);

private:
    void choose();
    void Open();
    void keepTreeClicked();

    CMainWnd* m_window = nullptr;
};

}  // namespace tolvex
