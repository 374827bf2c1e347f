// Installer downloads from the local service into a private folder: progress, a file
// without length, cancel, short and failed transfers, and file names from any URL.

#include "net/DownloadFileName.h"
#include "net/HttpDownload.h"
#include "tests/net/NetTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace tolvex {
namespace {

Json::Value Installer(int64_t size)
{
    Json::Value entry(Json::objectValue);
    entry["size"] = static_cast<Json::Int64>(size);
    return entry;
}

class HttpDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(m_service.Start());
    }
    void serve(const std::string& path, const Json::Value& entry)
    {
        m_answers[path] = entry;
        m_service.SetAnswers(m_answers);
    }
    std::string url(const std::string& path) const { return m_service.BaseUrl() + path; }
    QStringList files() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }
    static bool hasGeneratedBytes(const QString& path, int64_t size)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() != size)
            return false;
        const QByteArray bytes = file.readAll();
        for (int64_t i = 0; i < size; ++i) {
            if (bytes[static_cast<qsizetype>(i)] != LocalService::GeneratedByte(static_cast<size_t>(i)))
                return false;
        }
        return true;
    }

    QTemporaryDir m_folder;
    LocalService m_service;
    Json::Value m_answers{Json::objectValue};
};

TEST_F(HttpDownloadTest, CompleteDownloadReportsEachPercentOnceAndReplacesTheOldFile)
{
    serve("/files/setup.run", Installer(300000));
    QFile old(m_folder.path() + "/setup.run");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older installer");
    old.close();

    HttpDownload download(url("/files/setup.run?channel=7"), m_folder.path());
    EXPECT_EQ(download.targetPath(), QDir(m_folder.path()).absoluteFilePath("setup.run"));
    std::vector<int> percents;
    std::atomic<bool> cancel{false};
    EXPECT_EQ(download.run(cancel, [&](const DownloadProgress& p) { percents.push_back(p.percent); }),
              DownloadOutcome::Completed);
    EXPECT_TRUE(hasGeneratedBytes(download.targetPath(), 300000));
    EXPECT_EQ(files(), QStringList{"setup.run"}) << "no temporary file is left";
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(std::adjacent_find(percents.begin(), percents.end()), percents.end()) << "each value once";
    EXPECT_GT(percents.front(), 0);

    // A second download starts from its own 0 %: it reports its progress although the
    // first one ended at 100.
    serve("/files/second.run", Installer(2000));
    HttpDownload second(url("/files/second.run"), m_folder.path());
    std::vector<int> secondPercents;
    EXPECT_EQ(second.run(cancel, [&](const DownloadProgress& p) { secondPercents.push_back(p.percent); }),
              DownloadOutcome::Completed);
    EXPECT_EQ(secondPercents.back(), 100);
}

TEST_F(HttpDownloadTest, WithoutLengthTheBodyIsReadToItsEnd)
{
    Json::Value entry = Installer(200000);
    entry["no_length"] = true;
    serve("/setup.run", entry);
    HttpDownload download(url("/setup.run"), m_folder.path());
    std::vector<DownloadProgress> reports;
    std::atomic<bool> cancel{false};
    EXPECT_EQ(download.run(cancel, [&](const DownloadProgress& p) { reports.push_back(p); }),
              DownloadOutcome::Completed);
    EXPECT_TRUE(hasGeneratedBytes(download.targetPath(), 200000));
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().percent, -1) << "activity without a percentage";
    EXPECT_EQ(reports.back().percent, 100);
}

TEST_F(HttpDownloadTest, CancelledShortEmptyAndFailedDownloadsLeaveNothing)
{
    std::atomic<bool> cancel{false};
    Json::Value slow = Installer(1000000);
    slow["bytes_per_second"] = 100000;
    serve("/slow.run", slow);
    HttpDownload cancelled(url("/slow.run"), m_folder.path());
    std::promise<void> started;
    bool signalled = false;
    auto running = std::async(std::launch::async, [&] {
        return cancelled.run(cancel, [&](const DownloadProgress& p) {
            if (p.percent >= 5 && !signalled) {
                signalled = true;
                started.set_value();
            }
        });
    });
    ASSERT_EQ(started.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
    cancel.store(true);
    ASSERT_EQ(running.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(running.get(), DownloadOutcome::Cancelled);
    EXPECT_TRUE(files().isEmpty()) << files().join(",").toStdString();
    cancel.store(false);

    Json::Value cut = Installer(100000);
    cut["cut_at"] = 40000;
    serve("/short.run", cut);
    EXPECT_EQ(HttpDownload(url("/short.run"), m_folder.path()).run(cancel, {}), DownloadOutcome::Short);

    serve("/empty.run", Installer(0));
    EXPECT_EQ(HttpDownload(url("/empty.run"), m_folder.path()).run(cancel, {}), DownloadOutcome::Short);

    Json::Value missing = test::TextAnswer("gone", 404);
    serve("/missing.run", missing);
    EXPECT_EQ(HttpDownload(url("/missing.run"), m_folder.path()).run(cancel, {}), DownloadOutcome::Failed);
    EXPECT_EQ(HttpDownload("file:///etc/passwd", m_folder.path()).run(cancel, {}), DownloadOutcome::Failed);
    EXPECT_EQ(HttpDownload("http://127.0.0.1:1/refused.run", m_folder.path()).run(cancel, {}), DownloadOutcome::Failed);
    EXPECT_TRUE(files().isEmpty()) << files().join(",").toStdString();
}

TEST(DownloadFileName, AlwaysASafeNameInsideTheFolder)
{
    EXPECT_EQ(DownloadFileName("http://h/dl/setup.exe"), "setup.exe");
    EXPECT_EQ(DownloadFileName("http://h/dl/setup.exe?x=1/2&y=..#frag"), "setup.exe");
    EXPECT_EQ(DownloadFileName("http://h/dl/%E5%AE%89%E8%A3%85.run"), QString::fromUtf8("安装.run"));
    EXPECT_EQ(DownloadFileName("setup.run"), "setup.run") << "a URL without a slash";
    const QString fallback = QString::fromLatin1(kFallbackDownloadName);
    for (const char* unsafe : {"http://h/dl/", "http://h/dl/.", "http://h/dl/..", "http://h", "http://h/?name=a.run",
                               "http://h/a%2F..%2F..%2Fetc%2Fprofile", "http://h/%2E%2E", "http://h/a%5Cb.exe",
                               "http://h/a%0Ab.exe", "http://h/a%00b", ""})
        EXPECT_EQ(DownloadFileName(unsafe), fallback) << unsafe;
    EXPECT_LE(DownloadFileName("http://h/" + std::string(600, 'x') + ".run").toUtf8().size(), 200);
}

}  // namespace
}  // namespace tolvex
