#pragma once

// The off-thread side of adding files to a page. For every file of an add operation it
// reads the size, probes the media (duration, picture, sound: ProbeMediaItem) and, for
// convert items, makes the thumbnail; up to
// two files per core at a time. The results are posted to the receiver as WM_MEDIA_IMPORTED
// messages (MediaImportResult), one per file, in the order the files were submitted,
// across all add operations: the receiver can number the items as they come. One
// exception: a file whose work has run longer than the patience (3 s) is passed over, the
// files after it are posted as they are done, and it follows when it ends (a probe that
// runs out of time fails the file as unreadable).
//
// Thread use: submit, cancelPage and shutdown are called on the receiver's (UI) thread;
// the work runs on the import's own threads, which live until shutdown, so a thumbnail
// process never outlives the thread that spawned it. shutdown (also run by the
// destructor) kills running thumbnails, drops what is waiting and joins the threads; no
// message is posted after it returns.

#include "tasks/MediaItem.h"
#include "tasks/TaskTypes.h"
#include "tasks/ThumbnailMaker.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tolvex {

// How a file's size is read: from the directory entry (pickers and folder scans), or by
// opening it for reading, 0 when it cannot be opened ("add-convert-file", compress).
enum class SizeSource { DirectoryEntry, OpenedFile };

struct MediaImportRequest {
    PageKind page = PageKind::Convert;
    QString fullPath;
    QString folder;          // recorded in the MediaItem as it came from the picker or scan
    QString scanRoot;        // the folder a folder scan started from (MediaItem::scanRoot)
    bool thumbnail = false;  // convert items made by the convert pickers and folder scan
    SizeSource sizeSource = SizeSource::DirectoryEntry;
    int layout = 0;  // passed through for the receiver (which item template)
};

// Why a file did not become a list item.
enum class ImportRefusal {
    None,
    NotAVideo,            // the thumbnail run failed and the probe found no picture in it
    TimedOut,             // the probe or the thumbnail ran out of time
    ThumbnailNotWritten,  // the file has a picture, but its thumbnail could not be written
    FfmpegNotRun,         // the thumbnail's ffmpeg could not be started
};

struct MediaImportResult : MessageRecord {
    uint64_t batch = 0;        // the add operation (submit call) the file belongs to
    bool lastOfBatch = false;  // the batch is complete with this result
    bool cancelled = false;    // its page was cleared while it waited: add nothing
    MediaImportRequest request;
    MediaItem item;         // names, size and what the probe read
    QDateTime addedAt;      // the time of the add: the stamp of the output and thumbnail names
    QString thumbnailPath;  // empty when the request made no thumbnail
    ThumbnailResult thumbnail;
    bool unreadable = false;  // the probe ran out of time: the file could not be read
    // Why the file cannot be listed; None when it can (or when it was cancelled).
    ImportRefusal refusal() const;
    // The file may become a list item: it could be read, and no thumbnail was asked or
    // the thumbnail was made.
    bool accepted() const { return !cancelled && refusal() == ImportRefusal::None; }
};

class MediaImport {
public:
    // `workers` 0: two per core.
    MediaImport(QObject* receiver, std::string ffmpegPath, QString tempFolder, int workers = 0);
    ~MediaImport();
    MediaImport(const MediaImport&) = delete;
    MediaImport& operator=(const MediaImport&) = delete;

    // Queues the files of one add operation; returns its batch number (0 for an empty list).
    uint64_t submit(const std::vector<MediaImportRequest>& requests);
    // Files of `page` not yet posted come back cancelled (those not yet started are not
    // worked on).
    void cancelPage(PageKind page);
    void shutdown();

    // Files submitted whose result has not been posted yet.
    size_t pending() const;
    int workerCount() const { return m_workerCount; }
    // How long the files after a slow one wait for it before they are posted first.
    void setPatience(std::chrono::milliseconds patience) { m_patienceMs = patience.count(); }
    static constexpr std::chrono::milliseconds kDefaultPatience{3000};

    // The work done for one file, on the calling thread (the serial reference of the bench).
    static void import(MediaImportResult& result, const std::string& ffmpegPath,
                       const std::atomic<bool>* abort = nullptr);

private:
    struct Job {
        uint64_t sequence = 0;
        std::unique_ptr<MediaImportResult> result;
    };
    void startWorkers();
    void workerLoop();
    void finish(uint64_t sequence, std::unique_ptr<MediaImportResult> result);
    // Posts what may go now; called with m_lock held.
    void postReady();
    void post(uint64_t sequence, std::unique_ptr<MediaImportResult> result);
    QString reserveThumbnailPath(const QString& fileName, const QDateTime& now);

    struct OpenFile {
        PageKind page = PageKind::Convert;
        uint64_t batch = 0;
    };

    QObject* m_receiver;
    const std::string m_ffmpegPath;
    const QString m_tempFolder;
    const int m_workerCount;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::map<uint64_t, std::unique_ptr<MediaImportResult>> m_done;        // waiting for their turn
    std::map<uint64_t, OpenFile> m_open;                                  // every file not yet posted
    std::map<uint64_t, std::chrono::steady_clock::time_point> m_started;  // files being worked on
    std::set<uint64_t> m_passed;                                          // slow files the others no longer wait for
    std::set<uint64_t> m_cancelled;  // files whose page was cleared before they were posted
    std::set<QString> m_reservedThumbnails;
    uint64_t m_nextSequence = 0;
    uint64_t m_nextBatch = 1;
    std::atomic<int64_t> m_patienceMs{kDefaultPatience.count()};
    std::atomic<bool> m_stopping{false};
    bool m_stopped = false;
    std::vector<std::thread> m_threads;
};

}  // namespace tolvex
