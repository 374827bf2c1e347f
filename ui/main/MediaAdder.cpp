#include "ui/main/MediaAdder.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "media/MediaImportRules.h"
#include "tasks/FfmpegLocator.h"
#include "ui/clip/VideoGifDialog.h"
#include "ui/clip/VideoSplitDialog.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/ClipItems.h"
#include "ui/main/MediaDropFilter.h"
#include "ui/main/PickerFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>

namespace tolvex {

namespace {

// Time the UI thread spends building items before it lets other events in.
constexpr qint64 kListSliceMs = 12;
// Results that come while more are on their way are listed together after this pause: each
// listing pass re-lays out and repaints the page once, and repainting per file would cost
// the UI thread more than building the items.
constexpr int kListPauseMs = 100;

struct AddButton {
    const char* name;
    PageKind page;
    bool folder;
    MediaAdder::Source source;
};

constexpr AddButton kAddButtons[] = {
    {"add-video-convert-btn", PageKind::Convert, false, MediaAdder::Source::Picker},
    {"add-video-convert-folder-btn", PageKind::Convert, true, MediaAdder::Source::FolderScan},
    {"add-convert-file", PageKind::Convert, false, MediaAdder::Source::ConvertFile},
    {"add-video-merge-btn", PageKind::Merge, false, MediaAdder::Source::Picker},
    {"add-video-merge-folder-btn", PageKind::Merge, true, MediaAdder::Source::FolderScan},
    {"add-compress-file-btn", PageKind::Compress, false, MediaAdder::Source::Picker},
    {"add-compress-folder-btn", PageKind::Compress, true, MediaAdder::Source::FolderScan},
    {"add-video-rotate-btn", PageKind::Rotate, false, MediaAdder::Source::Picker},
    {"add-video-rotate-folder-btn", PageKind::Rotate, true, MediaAdder::Source::FolderScan},
    {"add-video-extract-btn", PageKind::Extract, false, MediaAdder::Source::Picker},
    {"add-video-extract-folder-btn", PageKind::Extract, true, MediaAdder::Source::FolderScan},
    {"add-video-mute-btn", PageKind::Mute, false, MediaAdder::Source::Picker},
    {"add-video-mute-folder-btn", PageKind::Mute, true, MediaAdder::Source::FolderScan},
    {"add-video-music-btn", PageKind::Music, false, MediaAdder::Source::Picker},
    {"add-video-music-folder-btn", PageKind::Music, true, MediaAdder::Source::FolderScan},
};

QString FolderOf(const QString& path, MediaAdder::Source source, const QString& scannedFolder)
{
    switch (source) {
    case MediaAdder::Source::FolderScan:
        return scannedFolder;
    case MediaAdder::Source::ConvertFile:
        return path.left(path.lastIndexOf(QLatin1Char('/')));
    case MediaAdder::Source::Picker:
        break;
    }
    return QFileInfo(path).absolutePath() + QLatin1Char('/');
}

// The look of the list items joins the application's style sheet once: one sheet parsed
// once, instead of a sheet per item, keeps listing hundreds of items cheap.
// What the user is told about files that were not added, by reason.
QString RefusalText(ImportRefusal refusal)
{
    switch (refusal) {
    case ImportRefusal::TimedOut:
        return QCoreApplication::translate("MediaAdder", "以下文件读取超时，无法添加:");
    case ImportRefusal::ThumbnailNotWritten:
        return QCoreApplication::translate("MediaAdder", "无法在临时文件夹中生成以下文件的缩略图，文件未添加:");
    case ImportRefusal::FfmpegNotRun:
        return QCoreApplication::translate("MediaAdder", "无法运行ffmpeg程序，以下文件未添加:");
    case ImportRefusal::NotAVideo:
    case ImportRefusal::None:
        break;
    }
    return QCoreApplication::translate("MediaAdder", "以下文件无法添加，请确认它们是完整的视频文件:");
}

}  // namespace

MediaAdder::MediaAdder(SplitClipTable& splitClips, GifClipTable& gifClips)
    : m_splitClips(splitClips), m_gifClips(gifClips)
{
    m_listTimer.setSingleShot(true);
    QObject::connect(&m_listTimer, &QTimer::timeout, [this] { listReadyResults(); });
}

MediaAdder::~MediaAdder()
{
    if (m_scanner)
        m_scanner->shutdown();
    if (m_import)
        m_import->shutdown();
}

void MediaAdder::attach(CMainWnd& window)
{
    m_window = &window;
    m_import = std::make_unique<MediaImport>(&window, FfmpegProgramPath(), window.tempFolderPath());
    m_scanner = std::make_unique<FolderScanner>(&window);
    const QString click = QStringLiteral("click");
    for (const AddButton& button : kAddButtons)
        window.routeNotify(click, QString::fromLatin1(button.name), this);
    window.routeNotify(click, QStringLiteral("add-bg-music-btn"), this);
    window.routeNotify(click, QStringLiteral("add-video-split-btn"), this);
    window.routeNotify(click, QStringLiteral("add-video-gif-btn"), this);
    window.routeMessage(WM_MEDIA_IMPORTED, this);
    window.routeMessage(WM_SUBFOLDERS_SCANNED, this);
    window.routeMessage(WM_SPLIT_CLIPS_READY, this);
    window.routeMessage(WM_GIF_CLIPS_READY, this);
    // Owned by the window; drops reach this adder.
    new MediaDropFilter(window, *this);
    // Thumbnail runs still going when the window closes are killed.
    window.addShutdownStep([this] {
        m_listTimer.stop();
        if (m_scanner)
            m_scanner->shutdown();
        if (m_import)
            m_import->shutdown();
        m_ready.clear();
    });
    m_failureNotice = [this](const QString& reason, const QStringList& names) {
        const int shown = std::min<int>(names.size(), 8);
        QStringList lines = names.mid(0, shown);
        if (names.size() > shown)
            lines << QCoreApplication::translate("MediaAdder", "……等%1个文件").arg(names.size());
        ShowMessageBox(m_window, reason, lines);
    };
}

void MediaAdder::onNotify(TNotifyUI& msg)
{
    const QString name = msg.senderName();
    for (const AddButton& button : kAddButtons) {
        if (name == QLatin1String(button.name)) {
            if (button.folder)
                pickFolder(button.page);
            else
                pickFiles(button.page, button.source);
            return;
        }
    }
    if (name == QLatin1String("add-bg-music-btn"))
        pickBackgroundMusic();
    else if (name == QLatin1String("add-video-split-btn"))
        pickClipSource(PageKind::Split);
    else if (name == QLatin1String("add-video-gif-btn"))
        pickClipSource(PageKind::Gif);
}

bool MediaAdder::onMessage(MessageEvent& message)
{
    switch (message.number()) {
    case WM_MEDIA_IMPORTED: {
        std::unique_ptr<MessageRecord> record = message.takeRecord();
        if (!dynamic_cast<MediaImportResult*>(record.get()))
            return true;
        // The record is the import's result: its ownership moves to the list of results.
        m_ready.emplace_back(static_cast<MediaImportResult*>(record.release()));
        scheduleListing();
        return true;
    }
    case WM_SUBFOLDERS_SCANNED: {
        const std::unique_ptr<MessageRecord> record = message.takeRecord();
        if (const auto* found = dynamic_cast<const SubfolderScanRecord*>(record.get()))
            askForSubfolders(*found);
        return true;
    }
    case WM_SPLIT_CLIPS_READY:
        addClipItems(PageKind::Split);
        return true;
    case WM_GIF_CLIPS_READY:
        addClipItems(PageKind::Gif);
        return true;
    default:
        return false;
    }
}

void MediaAdder::pickFiles(PageKind page, Source source)
{
    const PickerKind kind = PickerKindOf(page);
    const QStringList paths =
        QFileDialog::getOpenFileNames(m_window, QString(), PickerStartFolder(kind), VideoPickerFilter());
    if (!paths.isEmpty())
        RememberPickerFolder(kind, QFileInfo(paths.front()).absolutePath());
    addFiles(page, paths, source);
}

void MediaAdder::pickFolder(PageKind page)
{
    const PickerKind kind = PickerKindOf(page);
    const QString folder = QFileDialog::getExistingDirectory(
        m_window, QCoreApplication::translate("MediaAdder", "选择视频存放目录"), PickerStartFolder(kind));
    if (folder.isEmpty())
        return;
    RememberPickerFolder(kind, folder);
    addFolder(page, folder);
}

void MediaAdder::pickBackgroundMusic()
{
    const QString path =
        QFileDialog::getOpenFileName(m_window, QString(), PickerStartFolder(PickerKind::Music), AudioPickerFilter());
    if (path.isEmpty() || !m_window)
        return;
    RememberPickerFolder(PickerKind::Music, QFileInfo(path).absolutePath());
    if (auto* edit = m_window->findControlAs<QLineEdit>(QStringLiteral("bg-music-edit"))) {
        edit->setText(path);
        edit->setCursorPosition(0);
        edit->setToolTip(path);
    }
}

void MediaAdder::pickClipSource(PageKind page)
{
    const PickerKind kind = PickerKindOf(page);
    const QString path = m_clipSourcePicker ? m_clipSourcePicker(page)
                                            : QFileDialog::getOpenFileName(m_window, QString(), PickerStartFolder(kind),
                                                                           VideoPickerFilter());
    if (path.isEmpty() || !m_window)
        return;
    RememberPickerFolder(kind, QFileInfo(path).absolutePath());
    m_clipSource = path;
    // The import probes the file on its own threads; the clip dialog opens with what it read
    // (openClipDialog).
    MediaImportRequest request;
    request.page = page;
    request.fullPath = QFileInfo(path).absoluteFilePath();
    request.folder = FolderOf(request.fullPath, Source::Picker, QString());
    if (m_import && m_import->submit({request}) != 0)
        ++m_submitted;
}

void MediaAdder::openClipDialog(PageKind page, const MediaItem& source)
{
    // From the event loop: a modal dialog must not run inside the listing slice. The clip
    // dialog of the page plays the file and hands its clips back (1625, 1626).
    QPointer<CMainWnd> window(m_window);
    QTimer::singleShot(0, m_window, [window, page, source] {
        if (!window || window->isClosed())
            return;
        if (page == PageKind::Split)
            VideoSplitDialog::Open(window, source);
        else
            VideoGifDialog::Open(window, source);
    });
}

void MediaAdder::addFiles(PageKind page, const QStringList& paths, Source source)
{
    const QString scannedFolder =
        source == Source::FolderScan && !paths.isEmpty() ? QFileInfo(paths.front()).absolutePath() : QString();
    submit(page, paths, source, scannedFolder);
}

void MediaAdder::submit(PageKind page, const QStringList& paths, Source source, const QString& scannedFolder)
{
    if (paths.isEmpty() || !m_import || page == PageKind::Split || page == PageKind::Gif)
        return;
    std::vector<MediaImportRequest> requests;
    requests.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : paths) {
        MediaImportRequest request;
        request.page = page;
        request.fullPath = QFileInfo(path).absoluteFilePath();
        request.folder = FolderOf(request.fullPath, source, scannedFolder);
        if (source == Source::FolderScan)
            request.scanRoot = QDir::cleanPath(QFileInfo(scannedFolder).absoluteFilePath());
        request.thumbnail = page == PageKind::Convert && source != Source::ConvertFile;
        request.sizeSource = (source == Source::ConvertFile || page == PageKind::Compress) ? SizeSource::OpenedFile
                                                                                           : SizeSource::DirectoryEntry;
        request.layout =
            static_cast<int>(source == Source::ConvertFile ? ConvertLayout::FileRow : ConvertLayout::Standard);
        requests.push_back(std::move(request));
    }
    if (m_import->submit(requests) != 0)
        m_submitted += requests.size();
}

void MediaAdder::addFolder(PageKind page, const QString& folder)
{
    submit(page, ScanVideoFolder(folder), Source::FolderScan, folder);
    if (!m_scanner || !m_window || folder.isEmpty())
        return;
    // The outputs and the temporary files are not the user's videos.
    QStringList skipped{TempFolder()};
    if (const QLineEdit* output = m_window->outputFolderEdit())
        skipped << output->text();
    ++m_scansPending;
    m_scanner->scan(page, folder, skipped);
}

void MediaAdder::askForSubfolders(const SubfolderScanRecord& found)
{
    if (found.files.isEmpty() || !m_window || m_window->isClosed()) {
        --m_scansPending;
        return;
    }
    // Asked from the event loop, as the failure notices are: not inside a message's handling.
    QPointer<CMainWnd> window(m_window);
    QTimer::singleShot(0, m_window, [this, window, page = found.page, folder = found.folder, files = found.files] {
        --m_scansPending;
        if (!window || window->isClosed())
            return;
        const int answer = ShowQuestionBox(
            window,
            QCoreApplication::translate("MediaAdder", "子文件夹中还有 %1 个视频，是否一起添加？").arg(files.size()),
            QCoreApplication::translate("MediaAdder", "添加"), QCoreApplication::translate("MediaAdder", "不添加"));
        if (answer == 1 && window && !window->isClosed())
            submit(page, files, Source::FolderScan, folder);
    });
}

void MediaAdder::addClipItems(PageKind page)
{
    if (!m_window)
        return;
    if (page == PageKind::Split)
        ListSplitClips(*m_window, m_splitClips);
    else if (page == PageKind::Gif)
        ListGifClips(*m_window, m_gifClips);
}

void MediaAdder::cancelPending(PageKind page)
{
    if (m_import)
        m_import->cancelPage(page);
    for (auto& result : m_ready) {
        if (result->request.page == page)
            result->cancelled = true;
    }
}

size_t MediaAdder::pendingCount() const
{
    return m_submitted - m_finished;
}

void MediaAdder::listReadyResults()
{
    QElapsedTimer slice;
    slice.start();
    while (!m_ready.empty()) {
        std::unique_ptr<MediaImportResult> result = std::move(m_ready.front());
        m_ready.pop_front();
        listResult(*result);
        if (slice.elapsed() >= kListSliceMs)
            break;
    }
    if (!m_ready.empty())
        m_listTimer.start(0);
}

void MediaAdder::scheduleListing()
{
    // The last file of what was added is listed at once; earlier ones wait for company.
    const bool moreComing = m_submitted - m_finished > m_ready.size();
    if (!moreComing)
        m_listTimer.start(0);
    else if (!m_listTimer.isActive())
        m_listTimer.start(kListPauseMs);
}

void MediaAdder::listResult(MediaImportResult& result)
{
    ++m_finished;
    if (result.cancelled) {
        // A cleared page forgets the files that were still coming, failures included.
    } else if (!result.accepted()) {
        noteFailure(result);
    } else if (result.request.page == PageKind::Split || result.request.page == PageKind::Gif) {
        openClipDialog(result.request.page, result.item);
    } else if (CListUI* list = m_window ? m_window->pageList(result.request.page) : nullptr) {
        const TaskId id = m_window->newTaskId();
        // The output name takes the time of the add, as the thumbnail's name does, not
        // the time the item happens to be listed.
        const QTime added = result.addedAt.isValid() ? result.addedAt.time() : QTime::currentTime();
        MediaItemContent content{result.item, result.thumbnailPath, added};
        const auto layout = static_cast<ConvertLayout>(result.request.layout);
        QWidget* item =
            ListItemBuilder::buildMediaItem(*m_window, result.request.page, id, content, layout, list->itemParent());
        if (item) {
            list->addItem(item);
            m_window->mediaItems().set(id, result.item);
        }
    }
    if (result.lastOfBatch && !m_failedNames.empty()) {
        const std::map<ImportRefusal, QStringList> failed = std::move(m_failedNames);
        m_failedNames.clear();
        // Told from the event loop: a modal box must not run inside the listing slice.
        // One notice per reason, each naming its files.
        QPointer<CMainWnd> window(m_window);
        QTimer::singleShot(0, m_window, [this, window, failed] {
            for (const auto& [refusal, names] : failed) {
                if (window && !window->isClosed() && m_failureNotice)
                    m_failureNotice(RefusalText(refusal), names);
            }
        });
    }
}

void MediaAdder::noteFailure(const MediaImportResult& result)
{
    const QString name = QFileInfo(result.request.fullPath).fileName();
    const ImportRefusal refusal = result.refusal();
    if (result.unreadable)
        ConsoleLog("not added (could not be read): %s\n", result.request.fullPath.toStdString().c_str());
    else
        ConsoleLog("not added (thumbnail %s, %s): %s\n", result.thumbnail.ok() ? "made" : "failed",
                   refusal == ImportRefusal::ThumbnailNotWritten ? "the file has a picture" : "no picture found",
                   result.request.fullPath.toStdString().c_str());
    m_failedNames[refusal] << name;
    if (result.thumbnail.outcome == ThumbnailResult::Outcome::NotStarted)
        ConsoleLog("thumbnail not started: %s\n", result.thumbnail.error.c_str());
}

}  // namespace tolvex
