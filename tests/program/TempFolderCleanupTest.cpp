// Emptying the temporary folder: plain files go, folders and what links point to stay.

#include "ui/main/TempFolderCleanup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

TEST(TempFolderCleanupTest, RemovesPlainFilesOnly)
{
    QTemporaryDir root;
    const QString temp = root.filePath(QStringLiteral("Temp"));
    const QString outside = root.filePath(QStringLiteral("outside"));
    QDir().mkpath(temp + QStringLiteral("/sub"));
    QDir().mkpath(outside);
    Touch(temp + QStringLiteral("/thumb-1.jpg"));
    Touch(temp + QStringLiteral("/.hidden"));
    Touch(temp + QStringLiteral("/视频 缩略图.jpg"));
    Touch(temp + QStringLiteral("/sub/kept.jpg"));
    Touch(outside + QStringLiteral("/target.txt"));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/target.txt"), temp + QStringLiteral("/link-to-file")));
    ASSERT_TRUE(QFile::link(outside, temp + QStringLiteral("/link-to-folder")));

    EXPECT_EQ(RemovePlainFiles(temp), 4);
    const QStringList left =
        QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList({QStringLiteral("link-to-folder"), QStringLiteral("sub")}));
    EXPECT_TRUE(QFile::exists(temp + QStringLiteral("/sub/kept.jpg")));
    EXPECT_TRUE(QFile::exists(outside + QStringLiteral("/target.txt")));

    EXPECT_EQ(RemovePlainFiles(root.filePath(QStringLiteral("missing"))), 0);
    EXPECT_EQ(RemovePlainFiles(QString()), 0);
}

}  // namespace
}  // namespace tolvex
