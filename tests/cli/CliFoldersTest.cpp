// tolvex-cli on folders: a tree walked whole (nested subfolders, spaces and accents, one name
// in two folders, a text file, a broken file, a hidden folder, a link loop), the outputs in
// the same tree under the output folder (ffprobe at their mirrored paths), a second run
// beside the first, --flat, and the --json lines.

#include "CliRun.h"
#include "tests/support/TestMedia.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvex::test {
namespace {

class CliFoldersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        const QString root = s_dir->filePath(QStringLiteral("Holiday 2024"));
        ASSERT_TRUE(MakeVideo(s_dir->filePath(QStringLiteral("source.mp4")).toStdString(), 1.0));
        for (const char* name : {"10.mp4", "2.mp4", "day 1/boat.mp4", "day 1/Café été.mp4", "day 2/boat.mp4",
                                 "day 2/night shots/owl.mp4", ".hidden/secret.mp4"}) {
            const QString path = QDir(root).filePath(QString::fromUtf8(name));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
            ASSERT_TRUE(QFile::copy(s_dir->filePath(QStringLiteral("source.mp4")), path)) << name;
        }
        write(QDir(root).filePath(QStringLiteral("notes.txt")), "not a video");
        write(QDir(root).filePath(QStringLiteral("day 1/broken.mp4")), QByteArray(4000, 'x'));
        // A link back up the tree: the walk must end, and take nothing twice.
        ASSERT_TRUE(QFile::link(root, QDir(root).filePath(QStringLiteral("day 2/loop"))));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QString root() { return s_dir->filePath(QStringLiteral("Holiday 2024")); }
    // Every file under `folder`, relative path -> content hash.
    static QMap<QString, QByteArray> filesUnder(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                files[QDir(folder).relativeFilePath(path)] =
                    QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
        }
        return files;
    }

    static QTemporaryDir* s_dir;
};
QTemporaryDir* CliFoldersTest::s_dir = nullptr;

TEST_F(CliFoldersTest, PrintCommandNamesEveryMediaFileInNaturalOrderAndTheBrokenOneOnStandardError)
{
    const QString out = s_dir->filePath(QStringLiteral("printed"));
    const CliResult result = RunCli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mkv"),
                                     QStringLiteral("--output-dir"), out, QStringLiteral("--print-command"), root()});
    EXPECT_NE(result.exitCode, 0) << "a file could not be read";
    EXPECT_TRUE(result.err.contains(QStringLiteral("broken.mp4"))) << result.err.toStdString();
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << result.out.toStdString();
    const QStringList inputs{QStringLiteral("/2.mp4"),         QStringLiteral("/10.mp4"),
                             QStringLiteral("day 1/boat.mp4"), QStringLiteral("day 1/Café été.mp4"),
                             QStringLiteral("day 2/boat.mp4"), QStringLiteral("night shots/owl.mp4")};
    for (int i = 0; i < inputs.size(); ++i)
        EXPECT_TRUE(lines[i].contains(inputs[i])) << i << ": " << lines[i].toStdString();
    EXPECT_FALSE(result.out.contains(QStringLiteral("secret"))) << "hidden folders are passed over";
    EXPECT_TRUE(lines[4].contains(out + QStringLiteral("/Holiday 2024/day 2/boat-"))) << lines[4].toStdString();

    // --flat: every output in the output folder itself.
    const CliResult flat = RunCli({QStringLiteral("convert"), QStringLiteral("--output-dir"), out,
                                   QStringLiteral("--print-command"), QStringLiteral("--flat"), root()});
    for (const QString& line : flat.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_FALSE(line.contains(out + QStringLiteral("/Holiday 2024/"))) << line.toStdString();
}

TEST_F(CliFoldersTest, OutputsMirrorTheTreeAndASecondRunAddsFilesBesideThem)
{
    const QString out = s_dir->filePath(QStringLiteral("out"));
    const QStringList args{QStringLiteral("convert"),
                           QStringLiteral("--format"),
                           QStringLiteral("mkv"),
                           QStringLiteral("--output-dir"),
                           out,
                           root()};
    const CliResult first = RunCli(args);
    EXPECT_EQ(first.exitCode, 1) << first.out.toStdString() << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(QStringLiteral("broken.mp4")));
    EXPECT_TRUE(first.out.contains(QStringLiteral("convert: 6 of 6 jobs completed, 0 failed")))
        << first.out.toStdString();

    const QMap<QString, QByteArray> once = filesUnder(out);
    ASSERT_EQ(once.size(), 6) << QStringList(once.keys()).join(QLatin1Char(' ')).toStdString();
    const QStringList folders{QStringLiteral("Holiday 2024"),       QStringLiteral("Holiday 2024"),
                              QStringLiteral("Holiday 2024/day 1"), QStringLiteral("Holiday 2024/day 1"),
                              QStringLiteral("Holiday 2024/day 2"), QStringLiteral("Holiday 2024/day 2/night shots")};
    const QStringList stems{QStringLiteral("2-"),        QStringLiteral("10-"),   QStringLiteral("boat-"),
                            QStringLiteral("Café été-"), QStringLiteral("boat-"), QStringLiteral("owl-")};
    for (int i = 0; i < stems.size(); ++i) {
        const QString file = SingleFileIn(QDir(out).filePath(folders[i]), stems[i] + QStringLiteral("*.mkv"));
        ASSERT_FALSE(file.isEmpty()) << folders[i].toStdString() << " " << stems[i].toStdString();
        const ProbedFile probed = ProbeFile(file);
        EXPECT_TRUE(probed.hasVideo && probed.hasAudio) << file.toStdString();
        EXPECT_EQ(probed.formatName, QStringLiteral("matroska,webm")) << file.toStdString();
        EXPECT_NEAR(probed.duration, 1.0, 0.2) << file.toStdString();
    }

    // Run again into the same folder: six more files, the first six untouched.
    const CliResult second = RunCli(args);
    EXPECT_EQ(second.exitCode, 1);
    const QMap<QString, QByteArray> twice = filesUnder(out);
    EXPECT_EQ(twice.size(), 12);
    for (auto it = once.begin(); it != once.end(); ++it)
        EXPECT_EQ(twice.value(it.key()), it.value()) << it.key().toStdString() << " was overwritten";
}

TEST_F(CliFoldersTest, JsonLinesParseAndEachItemsEventsComeInOrder)
{
    const QString out = s_dir->filePath(QStringLiteral("json"));
    const QString broken = QDir(root()).filePath(QStringLiteral("day 1/broken.mp4"));
    const CliResult result =
        RunCli({QStringLiteral("convert"), QStringLiteral("--json"), QStringLiteral("--output-dir"), out,
                QDir(root()).filePath(QStringLiteral("day 2/night shots")), broken});
    EXPECT_EQ(result.exitCode, 1) << "the broken file named on the command line fails";
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());

    QMap<int, QString> ended;  // item -> "done" or "failed"
    QMap<int, int> lastPercent;
    for (int i = 0; i < lines.size(); ++i) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(lines[i].toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[i].toStdString();
        const QJsonObject event = document.object();
        const QString kind = event.value(QStringLiteral("event")).toString();
        EXPECT_EQ(event.value(QStringLiteral("page")).toString(), QStringLiteral("convert"));
        if (kind == QLatin1String("summary")) {
            EXPECT_EQ(i, lines.size() - 1) << "the summary ends the run";
            EXPECT_EQ(event.value(QStringLiteral("jobs")).toInt(), 2);
            EXPECT_EQ(event.value(QStringLiteral("done")).toInt(), 1);
            EXPECT_EQ(event.value(QStringLiteral("failed")).toInt(), 1);
            continue;
        }
        const int item = event.value(QStringLiteral("item")).toInt(-1);
        ASSERT_GE(item, 0) << lines[i].toStdString();
        EXPECT_FALSE(ended.contains(item)) << "an event after the item ended: " << lines[i].toStdString();
        EXPECT_FALSE(event.value(QStringLiteral("input")).toString().isEmpty());
        if (kind == QLatin1String("progress")) {
            const int percent = event.value(QStringLiteral("percent")).toInt(-1);
            EXPECT_GE(percent, lastPercent.value(item, 0)) << lines[i].toStdString();
            lastPercent[item] = percent;
            EXPECT_TRUE(event.contains(QStringLiteral("seconds_left")));
        } else if (kind == QLatin1String("done")) {
            const QString output = event.value(QStringLiteral("output")).toString();
            EXPECT_TRUE(output.startsWith(out + QStringLiteral("/night shots/owl-"))) << output.toStdString();
            EXPECT_EQ(event.value(QStringLiteral("size")).toInteger(), QFileInfo(output).size());
            EXPECT_GT(event.value(QStringLiteral("seconds")).toDouble(-1), 0.0);
            EXPECT_TRUE(ProbeFile(output).hasVideo);
            ended[item] = kind;
        } else if (kind == QLatin1String("failed")) {
            EXPECT_EQ(event.value(QStringLiteral("input")).toString(), broken);
            EXPECT_FALSE(event.value(QStringLiteral("reason")).toString().isEmpty());
            ended[item] = kind;
        } else {
            ADD_FAILURE() << "unknown event " << lines[i].toStdString();
        }
    }
    EXPECT_EQ(ended.size(), 2);
    EXPECT_EQ(ended.values().count(QStringLiteral("done")), 1);
}

}  // namespace
}  // namespace tolvex::test
