// Which files a folder scan takes, and the names an added file gets.

#include "media/MediaImportRules.h"
#include "tasks/ThumbnailMaker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

TEST(MediaImportRules, FolderScanTakesVideoKindsInOneLetterCaseOnlyAndNoSubFolders)
{
    QTemporaryDir dir;
    for (const char* name :
         {"b.mp4", "a.MP4", "c.Mp4", "d.txt", "noextension", "e.MKV", "f.ogv", "g.mp4.part", ".hidden.avi", "h.webm"})
        Touch(dir.filePath(QString::fromLatin1(name)));
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    Touch(dir.filePath(QStringLiteral("sub/inner.mp4")));
    // A folder whose name looks like a video is not a file.
    QDir(dir.path()).mkpath(QStringLiteral("folder.mp4"));

    QStringList names;
    for (const QString& path : ScanVideoFolder(dir.path())) {
        EXPECT_TRUE(path.startsWith(dir.path())) << path.toStdString();
        names << QFileInfo(path).fileName();
    }
    EXPECT_EQ(names, (QStringList{".hidden.avi", "a.MP4", "b.mp4", "e.MKV", "f.ogv", "h.webm"}));
    EXPECT_TRUE(ScanVideoFolder(dir.filePath(QStringLiteral("missing"))).isEmpty());
    EXPECT_TRUE(ScanVideoFolder(QString()).isEmpty());
}

TEST(MediaImportRules, ExtensionRuleEdgeCases)
{
    EXPECT_TRUE(IsScannableVideoName(QStringLiteral("x.M3U8")));
    EXPECT_TRUE(IsScannableVideoName(QStringLiteral("a.b.3g2")));
    EXPECT_FALSE(IsScannableVideoName(QStringLiteral("x.")));
    EXPECT_FALSE(IsScannableVideoName(QStringLiteral("mp4")));
    EXPECT_FALSE(IsScannableVideoName(QStringLiteral("x.mP4")));
    EXPECT_FALSE(IsScannableVideoName(QStringLiteral("x.mp4 ")));
    EXPECT_FALSE(IsScannableVideoName(QStringLiteral("x.averyveryverylongextension")));
}

TEST(MediaImportRules, NamesOfAnAddedFile)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 5, 9));
    EXPECT_EQ(ThumbnailMaker::thumbnailPath(QStringLiteral("/tmp/t"), QStringLiteral("clip.avi"), at),
              QStringLiteral("/tmp/t/clip-thumbnail-20240305140509.jpg"));
    EXPECT_EQ(ThumbnailMaker::thumbnailPath(QStringLiteral("/tmp/t/"), QStringLiteral("a b.c.mp4"), at),
              QStringLiteral("/tmp/t/a b.c-thumbnail-20240305140509.jpg"));

    EXPECT_EQ(DurationText(0.0), QStringLiteral("00:00:00"));
    EXPECT_EQ(DurationText(59.999), QStringLiteral("00:00:59"));
    EXPECT_EQ(DurationText(3725.4), QStringLiteral("01:02:05"));
    EXPECT_EQ(DurationText(-1.0), QStringLiteral("00:00:00"));
    EXPECT_EQ(DurationText(360000.0), QStringLiteral("100:00:00"));
}

TEST(MediaImportRules, PickerFiltersKeepTheDescribedPatterns)
{
    const QString video = VideoPickerFilter();
    EXPECT_TRUE(video.startsWith(QStringLiteral("视频文件(*.mp4 *.flv")));
    EXPECT_TRUE(video.contains(QStringLiteral(" *ogv ")));
    EXPECT_EQ(video.count(QLatin1Char('*')), 24);
    const QString audio = AudioPickerFilter();
    EXPECT_TRUE(audio.startsWith(QStringLiteral("音频文件(*.mp3 ")));
    EXPECT_TRUE(audio.endsWith(QStringLiteral("*.3gpp)")));
    EXPECT_EQ(audio.count(QLatin1Char('*')), 21);
}

}  // namespace
}  // namespace tolvex
