// The ordered import pipeline with the real ffmpeg and probe: results in submission order
// across adds, thumbnails only for convert requests, failures reported per file, distinct
// thumbnail names for same-named files, cancelled pages, and a prompt shutdown.

#include "media/MediaProbe.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/MediaImport.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/FileOpenWatch.h"
#include "tests/support/TestMedia.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <set>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

class Collector : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (auto* message = dynamic_cast<MessageEvent*>(event)) {
            EXPECT_EQ(message->number(), WM_MEDIA_IMPORTED);
            std::unique_ptr<MessageRecord> record = message->takeRecord();
            if (auto* result = dynamic_cast<MediaImportResult*>(record.get())) {
                results.emplace_back(result);
                static_cast<void>(record.release());  // now owned by `results`
            }
            return true;
        }
        return QObject::event(event);
    }
    bool waitFor(size_t count, int ms = 60000)
    {
        return test::WaitFor([this, count] { return results.size() >= count; }, ms);
    }
    std::vector<std::unique_ptr<MediaImportResult>> results;
};

class MediaImportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        ASSERT_TRUE(test::MakeVideo(path("one.mp4"), 1.0));
        ASSERT_TRUE(test::MakeVideo(path("two.mkv"), 2.0, 160, 120, false));
        QFile broken(QString::fromStdString(path("broken.mp4")));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(2048, 'q'));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static std::string path(const char* name) { return s_media->filePath(QString::fromLatin1(name)).toStdString(); }
    static MediaImportRequest request(PageKind page, const char* name, bool thumbnail)
    {
        MediaImportRequest request;
        request.page = page;
        request.fullPath = QString::fromStdString(path(name));
        request.folder = s_media->path() + QLatin1Char('/');
        request.thumbnail = thumbnail;
        return request;
    }

    QTemporaryDir m_temp;
    Collector m_receiver;
    static QTemporaryDir* s_media;
};
QTemporaryDir* MediaImportTest::s_media = nullptr;

TEST_F(MediaImportTest, ResultsComeInSubmissionOrderAcrossAddsWithTheirRecords)
{
    MediaImport import(&m_receiver, FfmpegProgramPath(), m_temp.path(), 3);
    // The slow thumbnail first: later, faster files must still wait for it.
    const uint64_t first =
        import.submit({request(PageKind::Convert, "two.mkv", true), request(PageKind::Convert, "broken.mp4", true),
                       request(PageKind::Convert, "one.mp4", true)});
    const uint64_t second =
        import.submit({request(PageKind::Merge, "one.mp4", false), request(PageKind::Merge, "broken.mp4", false)});
    EXPECT_NE(first, second);
    ASSERT_TRUE(m_receiver.waitFor(5));
    EXPECT_EQ(import.pending(), 0U);

    const auto& r = m_receiver.results;
    const char* names[] = {"two.mkv", "broken.mp4", "one.mp4", "one.mp4", "broken.mp4"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r[i]->item.fileName, QString::fromLatin1(names[i])) << i;
        EXPECT_EQ(r[i]->batch, i < 3 ? first : second) << i;
        EXPECT_EQ(r[i]->lastOfBatch, i == 2 || i == 4) << i;
        EXPECT_EQ(r[i]->item.folder, s_media->path() + QLatin1Char('/'));
        EXPECT_GT(r[i]->item.fileSize, 0);
    }
    // Convert requests make thumbnails; a file ffmpeg cannot read is refused there only.
    EXPECT_TRUE(r[0]->accepted());
    EXPECT_TRUE(QFile::exists(r[0]->thumbnailPath));
    EXPECT_NEAR(r[0]->item.duration, 2.0, 0.1);
    EXPECT_FALSE(r[1]->accepted());
    EXPECT_EQ(r[1]->thumbnail.outcome, ThumbnailResult::Outcome::Failed);
    EXPECT_EQ(r[1]->item.duration, 0.0) << "no probe after a failed thumbnail";
    EXPECT_TRUE(r[2]->accepted());
    EXPECT_NEAR(r[2]->item.duration, 1.0, 0.1);
    EXPECT_TRUE(r[3]->thumbnailPath.isEmpty());
    EXPECT_TRUE(r[3]->accepted());
    EXPECT_TRUE(r[4]->accepted()) << "other pages list a file the probe cannot read";
    EXPECT_LE(r[4]->item.duration, 0.0);
    EXPECT_TRUE(r[0]->thumbnailPath.startsWith(m_temp.path()));
    EXPECT_TRUE(r[0]->thumbnailPath.contains(QStringLiteral("/two-thumbnail-")));
}

TEST_F(MediaImportTest, SameNamedFilesInOneSecondGetTheirOwnThumbnails)
{
    MediaImport import(&m_receiver, FfmpegProgramPath(), m_temp.path(), 4);
    import.submit({request(PageKind::Convert, "one.mp4", true), request(PageKind::Convert, "one.mp4", true),
                   request(PageKind::Convert, "one.mp4", true)});
    ASSERT_TRUE(m_receiver.waitFor(3));
    std::set<QString> paths;
    for (const auto& result : m_receiver.results) {
        EXPECT_TRUE(result->accepted());
        EXPECT_TRUE(QFile::exists(result->thumbnailPath));
        paths.insert(result->thumbnailPath);
    }
    EXPECT_EQ(paths.size(), 3U);
}

TEST_F(MediaImportTest, OpenedFileSizeIsZeroForAFileThatCannotBeOpened)
{
    MediaImport import(&m_receiver, FfmpegProgramPath(), m_temp.path(), 1);
    MediaImportRequest gone = request(PageKind::Compress, "vanished.mp4", false);
    gone.sizeSource = SizeSource::OpenedFile;
    MediaImportRequest one = request(PageKind::Compress, "one.mp4", false);
    one.sizeSource = SizeSource::OpenedFile;
    import.submit({gone, one});
    ASSERT_TRUE(m_receiver.waitFor(2));
    EXPECT_EQ(m_receiver.results[0]->item.fileSize, 0);
    EXPECT_TRUE(m_receiver.results[0]->accepted()) << "a vanished file still gets its item";
    EXPECT_EQ(m_receiver.results[1]->item.fileSize, QFileInfo(QString::fromStdString(path("one.mp4"))).size());
}

TEST_F(MediaImportTest, ACancelledPageGetsItsResultsBackMarkedAndOtherPagesGoOn)
{
    MediaImport import(&m_receiver, FfmpegProgramPath(), m_temp.path(), 1);
    std::vector<MediaImportRequest> requests(4, request(PageKind::Convert, "two.mkv", true));
    requests.push_back(request(PageKind::Rotate, "one.mp4", false));
    import.submit(requests);
    import.cancelPage(PageKind::Convert);
    ASSERT_TRUE(m_receiver.waitFor(5));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(m_receiver.results[i]->cancelled) << i;
        EXPECT_FALSE(m_receiver.results[i]->accepted()) << i;
    }
    EXPECT_FALSE(m_receiver.results[4]->cancelled);
    EXPECT_TRUE(m_receiver.results[4]->accepted());

    // A later add to the cleared page is not affected.
    import.submit({request(PageKind::Convert, "one.mp4", true)});
    ASSERT_TRUE(m_receiver.waitFor(6));
    EXPECT_TRUE(m_receiver.results[5]->accepted());
}

TEST_F(MediaImportTest, ShutdownKillsRunningThumbnailsAndPostsNothingMore)
{
    // A fifo is a file ffmpeg waits on for ever: its thumbnail run would last the whole limit.
    const QString fifo = m_temp.filePath(QStringLiteral("endless.mp4"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        MediaImport import(&m_receiver, FfmpegProgramPath(), m_temp.path(), 2);
        MediaImportRequest endless = request(PageKind::Convert, "one.mp4", true);
        endless.fullPath = fifo;
        import.submit({endless, endless, endless});
        // Shut down only once thumbnail runs really go, so the shutdown has runs to end.
        ASSERT_TRUE(test::WaitFor([] { return test::RunningChildren(QStringLiteral("ffmpeg")) >= 2; }, 30000));
        QElapsedTimer timer;
        timer.start();
        import.shutdown();
        EXPECT_LT(timer.elapsed(), 2000) << "running thumbnails are killed, not waited for";
        EXPECT_EQ(import.submit({endless}), 0U) << "nothing is taken after shutdown";
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_receiver.results.empty());
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST_F(MediaImportTest, AFileThatNeverAnswersIsPassedOverAndFailsWhenItsProbeRunsOut)
{
    // A live playlist: the probe waits for segments that never come.
    ASSERT_TRUE(test::RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=s=64x48:r=10:d=0.2", "-c:v", "mpeg2video", "-f",
                                 "mpegts", m_temp.filePath(QStringLiteral("seg0.ts")).toStdString()}));
    const QString live = m_temp.filePath(QStringLiteral("live.m3u8"));
    {
        QFile f(live);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\nseg0.ts\n");
    }
    const auto oldTimeout = DefaultProbeTimeout();
    SetDefaultProbeTimeout(std::chrono::milliseconds(4000));
    MediaImport import(&m_receiver, FfmpegProgramPath(), m_temp.path(), 2);
    import.setPatience(std::chrono::milliseconds(300));
    MediaImportRequest stuck = request(PageKind::Merge, "one.mp4", false);
    stuck.fullPath = live;
    import.submit({stuck, request(PageKind::Merge, "one.mp4", false), request(PageKind::Merge, "two.mkv", false)});

    // The files after it are posted before its probe gives up.
    ASSERT_TRUE(m_receiver.waitFor(2));
    EXPECT_EQ(m_receiver.results[0]->item.fileName, QStringLiteral("one.mp4"));
    EXPECT_EQ(m_receiver.results[1]->item.fileName, QStringLiteral("two.mkv"));
    EXPECT_FALSE(m_receiver.results[1]->lastOfBatch) << "the batch still waits for the slow file";

    ASSERT_TRUE(m_receiver.waitFor(3));
    const MediaImportResult& late = *m_receiver.results[2];
    EXPECT_EQ(late.request.fullPath, live);
    EXPECT_TRUE(late.unreadable);
    EXPECT_FALSE(late.accepted());
    EXPECT_TRUE(late.lastOfBatch);
    SetDefaultProbeTimeout(oldTimeout);
}

TEST_F(MediaImportTest, ShutdownEndsAProbeThatWaits)
{
    // With the default ten seconds, closing must not wait for the probe to run out.
    const QString live = m_temp.filePath(QStringLiteral("live2.m3u8"));
    ASSERT_TRUE(test::RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=s=64x48:r=10:d=0.2", "-c:v", "mpeg2video", "-f",
                                 "mpegts", m_temp.filePath(QStringLiteral("seg0.ts")).toStdString()}));
    {
        QFile f(live);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\nseg0.ts\n");
    }
    test::FileOpenWatch playlist(live);
    ASSERT_TRUE(playlist.isValid());
    auto import = std::make_unique<MediaImport>(&m_receiver, FfmpegProgramPath(), m_temp.path(), 1);
    MediaImportRequest stuck = request(PageKind::Merge, "one.mp4", false);
    stuck.fullPath = live;
    import->submit({stuck});
    // A second opening of the playlist: the probe has read what there was and waits for more.
    ASSERT_TRUE(playlist.waitForOpens(2, 20000)) << "the probe never came back for the live playlist";
    QElapsedTimer clock;
    clock.start();
    import.reset();
    EXPECT_LT(clock.elapsed(), 3000);
}

}  // namespace
}  // namespace tolvex
