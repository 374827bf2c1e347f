#pragma once

// Adding media to the pages: the add buttons with their file and folder pickers, the
// background music picker, the clip source picker of the split and gif pages, dropped
// files, and the split and gif clips handed over by their dialogs (1625, 1626).
//
// AddFiles is the one add operation behind the pickers, the folder scans and drops: the
// files go to MediaImport, which reads their sizes, probes them and makes convert
// thumbnails on its own threads (the source of a clip dialog is probed there too, and the
// dialog opens with the result); the results come back in the order the files were given
// and are listed a few at a time, so the window keeps answering while hundreds of files
// come in. Each listed file takes the next task id when its item is built. A file whose
// thumbnail cannot be made gets no item; when an add ends, the user is told which files
// could not be added and why (ImportRefusal).
// UI thread only.

#include "tasks/ClipRecords.h"
#include "tasks/FolderScanner.h"
#include "tasks/MediaImport.h"
#include "tasks/TaskTypes.h"
#include "ui/main/ListItemBuilder.h"
#include "ui/main/MainWndHandler.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace tolvex {

class CMainWnd;

class MediaAdder : public MainWndHandler {
public:
    enum class Source {
        Picker,       // a file picker or a drop
        FolderScan,   // a folder button or a dropped folder
        ConvertFile,  // "add-convert-file": compact convert items, no thumbnail
    };
    // Files of an add that got no item, with the reason (translated) they share.
    using FailureNotice = std::function<void(const QString& reason, const QStringList& fileNames)>;
    // Chooses the source file of a clip dialog; empty when cancelled.
    using ClipSourcePicker = std::function<QString(PageKind page)>;

    MediaAdder(SplitClipTable& splitClips, GifClipTable& gifClips);
    ~MediaAdder() override;

    void attach(CMainWnd& window) override;
    void onNotify(TNotifyUI& msg) override;
    bool onMessage(MessageEvent& message) override;

    // Adds `paths` to `page` in the given order (not split or gif: they list clips).
    void addFiles(PageKind page, const QStringList& paths, Source source = Source::Picker);
    // Adds the video files directly in `folder` by the folder scan's rule; then, when its
    // subfolders (walked off the UI thread) hold more, asks whether to add them too.
    void addFolder(PageKind page, const QString& folder);
    // Lists the clips waiting in the split or gif hand-over list, then empties it.
    void addClipItems(PageKind page);
    // Files of `page` still on their way are dropped (the page was cleared).
    void cancelPending(PageKind page);
    // Files given to AddFiles that are not listed (or dropped) yet.
    size_t pendingCount() const;

    // The file last chosen with the split or gif page's add button.
    const QString& clipSourcePath() const { return m_clipSource; }
    // Replaces the message box that names the files that could not be added.
    void setFailureNotice(FailureNotice notice) { m_failureNotice = std::move(notice); }
    // Replaces the file picker of the split and gif pages' add buttons.
    void setClipSourcePicker(ClipSourcePicker picker) { m_clipSourcePicker = std::move(picker); }
    // Subfolder walks not answered yet (walking, or their question open).
    int subfolderScansPending() const { return m_scansPending; }

private:
    void pickFiles(PageKind page, Source source);
    void pickFolder(PageKind page);
    void pickBackgroundMusic();
    void pickClipSource(PageKind page);
    void openClipDialog(PageKind page, const MediaItem& source);
    void submit(PageKind page, const QStringList& paths, Source source, const QString& scannedFolder);
    void listReadyResults();
    // Starts the listing timer: at once when nothing else is on its way, else after a pause.
    void scheduleListing();
    void listResult(MediaImportResult& result);
    void noteFailure(const MediaImportResult& result);
    void askForSubfolders(const SubfolderScanRecord& found);

    SplitClipTable& m_splitClips;
    GifClipTable& m_gifClips;
    CMainWnd* m_window = nullptr;
    std::unique_ptr<MediaImport> m_import;
    std::unique_ptr<FolderScanner> m_scanner;
    int m_scansPending = 0;
    std::deque<std::unique_ptr<MediaImportResult>> m_ready;
    QTimer m_listTimer;
    size_t m_submitted = 0;
    size_t m_finished = 0;
    std::map<ImportRefusal, QStringList> m_failedNames;
    QString m_clipSource;
    FailureNotice m_failureNotice;
    ClipSourcePicker m_clipSourcePicker;
};

}  // namespace tolvex
