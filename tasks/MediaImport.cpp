#include "tasks/MediaImport.h"

#include "app/ConsoleLog.h"
#include "app/Helpers.h"
#include "tasks/MediaItemProbe.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>

namespace tolvex {

namespace {

// Two files per core at a time. A thumbnail run is a short ffmpeg process that spends part
// of its life waiting (its start, its own decoder threads, its exit); with one run per core
// those waits leave the core idle, a second run fills them (measured on 2 cores: 1.97
// cores busy on average instead of 1.90).
int DefaultWorkers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return 2 * static_cast<int>(std::clamp(cores, 1U, 8U));
}

// Console lines of the import threads, one whole line at a time.
void PrintLine(const std::string& line)
{
    ConsoleLog("%s\n", line.c_str());
}

bool IsRegularFile(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

int64_t SizeOf(const QString& path, SizeSource source)
{
    if (source == SizeSource::OpenedFile) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return file.size();
    }
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

}  // namespace

MediaImport::MediaImport(QObject* receiver, std::string ffmpegPath, QString tempFolder, int workers)
    : m_receiver(receiver),
      m_ffmpegPath(std::move(ffmpegPath)),
      m_tempFolder(std::move(tempFolder)),
      m_workerCount(workers > 0 ? workers : DefaultWorkers())
{
}

MediaImport::~MediaImport()
{
    shutdown();
}

void MediaImport::import(MediaImportResult& result, const std::string& ffmpegPath, const std::atomic<bool>* abort)
{
    const MediaImportRequest& request = result.request;
    MediaItem& item = result.item;
    item.fullPath = request.fullPath;
    item.folder = request.folder;
    item.scanRoot = request.scanRoot;
    item.fileName = QFileInfo(request.fullPath).fileName();
    item.fileSize = SizeOf(request.fullPath, request.sizeSource);

    if (request.thumbnail) {
        const CommandLine command = ThumbnailMaker::command(ffmpegPath, request.fullPath, result.thumbnailPath);
        PrintLine("cmdline:" + command.render());
        result.thumbnail = ThumbnailMaker::run(command, ThumbnailMaker::kTimeLimitMs, abort);
        PrintLine("dwExitCode: " + std::to_string(result.thumbnail.exitCode));
        // A failed run is still followed by the probe: it tells a broken file from a
        // thumbnail that could not be written.
        if (result.thumbnail.outcome != ThumbnailResult::Outcome::Made &&
            result.thumbnail.outcome != ThumbnailResult::Outcome::Failed)
            return;
    }
    // A fifo or device would keep the probe waiting for ever: only regular files are opened.
    if (!IsRegularFile(request.fullPath))
        return;
    // A probe that had to be stopped read nothing it can vouch for (a file that never
    // answers, a playlist without end): the file is not listed.
    if (!ProbeMediaItem(item, abort) && !(abort && abort->load())) {
        result.unreadable = true;
        PrintLine("could not be read in time: " + ToNarrowUtf8(request.fullPath));
    }
}

ImportRefusal MediaImportResult::refusal() const
{
    if (cancelled)
        return ImportRefusal::None;
    if (unreadable)
        return ImportRefusal::TimedOut;
    if (!request.thumbnail || thumbnail.ok())
        return ImportRefusal::None;
    switch (thumbnail.outcome) {
    case ThumbnailResult::Outcome::NotStarted:
        return ImportRefusal::FfmpegNotRun;
    case ThumbnailResult::Outcome::Overran:
        return ImportRefusal::TimedOut;
    case ThumbnailResult::Outcome::Made:
    case ThumbnailResult::Outcome::Failed:
        break;
    }
    return item.width > 0 && item.duration > 0.0 ? ImportRefusal::ThumbnailNotWritten : ImportRefusal::NotAVideo;
}

uint64_t MediaImport::submit(const std::vector<MediaImportRequest>& requests)
{
    if (requests.empty())
        return 0;
    const QDateTime now = QDateTime::currentDateTime();
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_stopped)
        return 0;
    const uint64_t batch = m_nextBatch++;
    for (size_t i = 0; i < requests.size(); ++i) {
        auto result = std::make_unique<MediaImportResult>();
        result->batch = batch;
        result->request = requests[i];
        result->addedAt = now;
        if (result->request.thumbnail)
            result->thumbnailPath = reserveThumbnailPath(QFileInfo(requests[i].fullPath).fileName(), now);
        const uint64_t sequence = m_nextSequence++;
        m_open[sequence] = OpenFile{requests[i].page, batch};
        m_jobs.push_back(Job{sequence, std::move(result)});
    }
    startWorkers();
    m_wake.notify_all();
    return batch;
}

QString MediaImport::reserveThumbnailPath(const QString& fileName, const QDateTime& now)
{
    // Two files of the same name added in the same second would share the described name
    // and overwrite each other's picture while both runs write: later ones get a number.
    const QString base = ThumbnailMaker::thumbnailPath(m_tempFolder, fileName, now);
    QString path = base;
    for (int n = 2; m_reservedThumbnails.count(path) != 0 || QFileInfo::exists(path); ++n)
        path = base.left(base.size() - 4) + QLatin1Char('-') + QString::number(n) + QStringLiteral(".jpg");
    m_reservedThumbnails.insert(path);
    return path;
}

void MediaImport::cancelPage(PageKind page)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (const auto& [sequence, open] : m_open) {
        if (open.page == page)
            m_cancelled.insert(sequence);
    }
}

size_t MediaImport::pending() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_open.size();
}

void MediaImport::startWorkers()
{
    // Called with the lock held. Threads start with the first add and stay until shutdown.
    while (static_cast<int>(m_threads.size()) < m_workerCount)
        m_threads.emplace_back([this] { workerLoop(); });
}

void MediaImport::workerLoop()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            // An idle worker looks now and then whether a slow file should be passed over.
            while (!m_stopping.load() && m_jobs.empty()) {
                if (!m_wake.wait_for(lock, std::chrono::milliseconds(200),
                                     [this] { return m_stopping.load() || !m_jobs.empty(); }))
                    postReady();
            }
            if (m_stopping.load())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            if (m_cancelled.count(job.sequence) != 0)
                job.result->cancelled = true;
            m_started[job.sequence] = std::chrono::steady_clock::now();
        }
        if (!job.result->cancelled)
            import(*job.result, m_ffmpegPath, &m_stopping);
        finish(job.sequence, std::move(job.result));
    }
}

void MediaImport::finish(uint64_t sequence, std::unique_ptr<MediaImportResult> result)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_stopping.load())
        return;
    m_started.erase(sequence);
    m_done[sequence] = std::move(result);
    postReady();
}

void MediaImport::postReady()
{
    if (m_stopping.load())
        return;
    // Slow files that were passed over go as soon as they are done.
    for (auto passed = m_passed.begin(); passed != m_passed.end();) {
        const auto done = m_done.find(*passed);
        if (done == m_done.end()) {
            ++passed;
            continue;
        }
        std::unique_ptr<MediaImportResult> ready = std::move(done->second);
        m_done.erase(done);
        const uint64_t sequence = *passed;
        passed = m_passed.erase(passed);
        post(sequence, std::move(ready));
    }
    // Then the others in order, from the first not yet posted.
    const auto patience = std::chrono::milliseconds(m_patienceMs.load());
    const auto now = std::chrono::steady_clock::now();
    for (auto open = m_open.begin(); open != m_open.end();) {
        const uint64_t sequence = open->first;
        if (m_passed.count(sequence) != 0) {
            ++open;
            continue;
        }
        const auto done = m_done.find(sequence);
        if (done != m_done.end()) {
            std::unique_ptr<MediaImportResult> ready = std::move(done->second);
            m_done.erase(done);
            ++open;  // post() erases this entry
            post(sequence, std::move(ready));
            continue;
        }
        const auto started = m_started.find(sequence);
        if (started != m_started.end() && now - started->second >= patience) {
            m_passed.insert(sequence);
            ++open;
            continue;
        }
        break;  // not done yet, and not slow yet: the files after it wait
    }
}

void MediaImport::post(uint64_t sequence, std::unique_ptr<MediaImportResult> result)
{
    if (m_cancelled.erase(sequence) != 0)
        result->cancelled = true;
    const auto open = m_open.find(sequence);
    const uint64_t batch = open != m_open.end() ? open->second.batch : result->batch;
    if (open != m_open.end())
        m_open.erase(open);
    // The batch is complete when no other file of it is still open.
    result->lastOfBatch =
        std::none_of(m_open.begin(), m_open.end(), [batch](const auto& entry) { return entry.second.batch == batch; });
    PostMessageTo(m_receiver, WM_MEDIA_IMPORTED, std::move(result));
}

void MediaImport::shutdown()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stopped)
            return;
        m_stopped = true;
        m_stopping = true;
        m_jobs.clear();
        threads.swap(m_threads);
    }
    m_wake.notify_all();
    for (std::thread& thread : threads)
        thread.join();
    std::lock_guard<std::mutex> guard(m_lock);
    m_done.clear();
    m_open.clear();
    m_started.clear();
    m_passed.clear();
    m_cancelled.clear();
}

}  // namespace tolvex
