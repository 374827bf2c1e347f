#pragma once

// The output folder box shared by all pages and its two buttons: "output-choose-btn" picks
// a folder (it must take a test file, else "该目录没有写入权限!" and nothing changes) and
// stores it as the "output-dir" setting; "output-open-btn" opens the shown folder in the
// desktop's file manager.
// UI thread only.

#include "ui/main/MainWndHandler.h"

#include <QString>

namespace tolvex {

class OutputFolderControls : public MainWndHandler {
public:
    void Attach(CMainWnd& window) override;
    void OnNotify(TNotifyUI& msg) override;

    // What the choose button does once a folder was picked: the write test, then the box
    // and the setting. False (after the notice) when the folder takes no file.
    bool UseFolder(const QString& folder);

    // Whether a file can be created in `folder`: creates "tolvexTmp" there (failing when it
    // exists already) and deletes it again.
    static bool CanWriteInto(const QString& folder);

private:
    void Choose();
    void Open();

    CMainWnd* m_window = nullptr;
};

}  // namespace tolvex
