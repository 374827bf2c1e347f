// Nothing of the user's file is lost on the way: a film with two sound tracks (languages,
// a title, the default flag), text subtitles (one forced), a picture subtitle, a font,
// chapters and a recording date, and a phone video with its date, place, make and model,
// through every page of tolvex-cli. ffprobe checks what the outputs carry; what a container
// cannot hold is named on the done line.

#include "CliRun.h"
#include "tests/media/TestMux.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// What ffprobe says about a file: its streams, chapters and format tags.
struct Probed {
    QJsonArray streams;
    QJsonArray chapters;
    QJsonObject tags;

    QJsonArray ofType(const QString& type) const
    {
        QJsonArray found;
        for (const auto& s : streams) {
            if (s.toObject()[QStringLiteral("codec_type")].toString() == type &&
                s.toObject()[QStringLiteral("disposition")].toObject()[QStringLiteral("attached_pic")].toInt() == 0)
                found.append(s);
        }
        return found;
    }
};

Probed Probe(const QString& path)
{
    QByteArray out;
    Probed p;
    if (!RunProgram(QStringLiteral("ffprobe"),
                    {"-v", "error", "-show_streams", "-show_chapters", "-show_format", "-of", "json", path}, &out))
        return p;
    const QJsonObject json = QJsonDocument::fromJson(out).object();
    p.streams = json[QStringLiteral("streams")].toArray();
    p.chapters = json[QStringLiteral("chapters")].toArray();
    p.tags = json[QStringLiteral("format")].toObject()[QStringLiteral("tags")].toObject();
    return p;
}

QString Tag(const QJsonValue& stream, const char* key)
{
    return stream.toObject()[QStringLiteral("tags")].toObject()[QLatin1String(key)].toString();
}

int Flag(const QJsonValue& stream, const char* key)
{
    return stream.toObject()[QStringLiteral("disposition")].toObject()[QLatin1String(key)].toInt();
}

QString Codec(const QJsonValue& stream)
{
    return stream.toObject()[QStringLiteral("codec_name")].toString();
}

int64_t ModifiedSeconds(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mtim.tv_sec : -1;
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class KeepTracks : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        const auto m = [](const char* name) { return s_media->filePath(QLatin1String(name)).toStdString(); };
        const auto write = [](const std::string& path, const char* text) {
            QFile file(QString::fromStdString(path));
            return file.open(QIODevice::WriteOnly) && file.write(text) > 0;
        };
        ASSERT_TRUE(write(m("a.srt"), "1\n00:00:00,000 --> 00:00:01,000\nhello\n"));
        ASSERT_TRUE(write(m("font.ttf"), "not really a font, but an attachment all the same"));
        ASSERT_TRUE(write(m("meta.txt"),
                          ";FFMETADATA1\ntitle=The film\ncreation_time=2021-06-05T04:03:02.000000Z\n"
                          "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1000\ntitle=One\n"
                          "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1000\nEND=2000\ntitle=Two\n"));
        ASSERT_TRUE(WritePictureSubtitles(m("dvdsub.mkv"), 1.0, "ger"));
        ASSERT_TRUE(RunFfmpeg({"-f",
                               "lavfi",
                               "-i",
                               "testsrc2=s=320x240:r=25:d=2",
                               "-f",
                               "lavfi",
                               "-i",
                               "sine=f=440:d=2",
                               "-f",
                               "lavfi",
                               "-i",
                               "sine=f=880:d=2",
                               "-i",
                               m("a.srt"),
                               "-i",
                               m("a.srt"),
                               "-i",
                               m("dvdsub.mkv"),
                               "-i",
                               m("meta.txt"),
                               "-map",
                               "0",
                               "-map",
                               "1",
                               "-map",
                               "2",
                               "-map",
                               "3",
                               "-map",
                               "4",
                               "-map",
                               "5",
                               "-map_metadata",
                               "6",
                               "-map_chapters",
                               "6",
                               "-attach",
                               m("font.ttf"),
                               "-metadata:s:t",
                               "mimetype=application/x-truetype-font",
                               "-c:v",
                               "libx264",
                               "-c:a",
                               "aac",
                               "-c:s:0",
                               "srt",
                               "-c:s:1",
                               "ass",
                               "-c:s:2",
                               "copy",
                               "-metadata:s:a:0",
                               "language=eng",
                               "-metadata:s:a:1",
                               "language=jpn",
                               "-metadata:s:a:1",
                               "title=Commentary",
                               "-metadata:s:s:0",
                               "language=eng",
                               "-metadata:s:s:1",
                               "language=fre",
                               "-disposition:a:0",
                               "default",
                               "-disposition:a:1",
                               "0",
                               "-disposition:s:0",
                               "0",
                               "-disposition:s:1",
                               "forced",
                               m("film.mkv")}));
        // A phone video: filmed upright (stored sideways, turned by its display matrix), with
        // the date, place, make and model a phone writes.
        ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=s=320x240:r=25:d=1.5", "-f", "lavfi", "-i", "sine=d=1.5",
                               "-c:v", "libx264", "-c:a", "aac", m("plain.mp4")}));
        ASSERT_TRUE(
            MuxStreams(m("turned.mp4"), {{m("plain.mp4"), 0}, {m("plain.mp4"), 1}}, [](int index, AVStream* stream) {
                if (index == 0)
                    AddDisplayMatrix(stream, -90);
            }));
        ASSERT_TRUE(RunFfmpeg(
            {"-i", m("turned.mp4"), "-c", "copy", "-metadata", "creation_time=2022-07-08T09:10:11.000000Z", "-metadata",
             "location=+48.8583+002.2945/", "-metadata", "com.apple.quicktime.make=Apple", "-metadata",
             "com.apple.quicktime.model=iPhone 12", "-movflags", "use_metadata_tags", m("phone.mov")}));
        // Cover art and a timecode track beside the film's picture.
        ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "color=red:s=64x64", "-frames:v", "1", m("cover.jpg")}));
        ASSERT_TRUE(RunFfmpeg({"-f",
                               "lavfi",
                               "-i",
                               "testsrc2=s=320x240:r=25:d=1.5",
                               "-f",
                               "lavfi",
                               "-i",
                               "sine=d=1.5",
                               "-i",
                               m("cover.jpg"),
                               "-map",
                               "0",
                               "-map",
                               "1",
                               "-map",
                               "2",
                               "-c:v:0",
                               "libx264",
                               "-c:a",
                               "aac",
                               "-c:v:1",
                               "copy",
                               "-disposition:v:1",
                               "attached_pic",
                               "-timecode",
                               "01:00:00:00",
                               m("cover.mp4")}));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(m_out.isValid()); }

    static QString media(const char* name) { return s_media->filePath(QLatin1String(name)); }
    QString single() const
    {
        const QStringList files = FilesIn(m_out.path());
        return files.size() == 1 ? m_out.filePath(files.front()) : QString();
    }
    CliResult run(QStringList args, const char* input)
    {
        args << QStringLiteral("--output-dir") << m_out.path() << media(input);
        return RunCli(args);
    }

    // Both sound tracks with their labels and flags, and the date (AVI has a place for
    // neither: it keeps the tracks only).
    static void ExpectFilmKept(const Probed& p, bool labels = true)
    {
        const QJsonArray sound = p.ofType(QStringLiteral("audio"));
        ASSERT_EQ(sound.size(), 2);
        EXPECT_EQ(p.ofType(QStringLiteral("video")).size(), 1);
        if (!labels)
            return;
        EXPECT_EQ(Tag(sound[0], "language"), "eng");
        EXPECT_EQ(Tag(sound[1], "language"), "jpn");
        EXPECT_EQ(Flag(sound[0], "default"), 1);
        EXPECT_EQ(Flag(sound[1], "default"), 0);
        EXPECT_EQ(p.tags[QStringLiteral("creation_time")].toString().left(19), "2021-06-05T04:03:02");
    }

    static QTemporaryDir* s_media;
    QTemporaryDir m_out;
};

QTemporaryDir* KeepTracks::s_media = nullptr;

TEST_F(KeepTracks, ConvertKeepsWhatEachContainerHoldsAndNamesTheRest)
{
    struct Case {
        const char* format;
        int subtitles;
        const char* subtitleCodec;
        const char* dropped;
    };
    const Case cases[] = {
        {"mkv", 3, "subrip", nullptr},
        {"mp4", 2, "mov_text",
         "dropped: 1 picture subtitle track (mp4 cannot hold it); 1 attachment (mp4 cannot hold it)"},
        {"webm", 2, "webvtt", "dropped: 1 picture subtitle track (webm cannot hold it)"},
        {"avi", 0, "", "dropped: 2 subtitle tracks (avi cannot hold them); 1 picture subtitle track"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        QDir(m_out.path()).removeRecursively();
        QDir().mkpath(m_out.path());
        const CliResult r = run({"convert", "--format", c.format}, "film.mkv");
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
        const Probed p = Probe(single());
        const bool avi = QLatin1String(c.format) == QLatin1String("avi");
        ExpectFilmKept(p, !avi);
        if (!avi) {
            EXPECT_EQ(p.chapters.size(), 2);
            const QJsonArray sound = p.ofType(QStringLiteral("audio"));
            if (QLatin1String(c.format) != QLatin1String("mp4")) {
                EXPECT_EQ(Tag(sound[1], "title"), "Commentary");
            }
        }
        const QJsonArray subtitles = p.ofType(QStringLiteral("subtitle"));
        ASSERT_EQ(subtitles.size(), c.subtitles);
        if (c.subtitles >= 2) {
            EXPECT_EQ(Codec(subtitles[0]), c.subtitleCodec);
            EXPECT_EQ(Tag(subtitles[1], "language"), "fre");
            EXPECT_EQ(Flag(subtitles[0], "forced"), 0);
            EXPECT_EQ(Flag(subtitles[1], "forced"), 1);
            // mp4 marks the first track of each kind as the one to show.
            if (QLatin1String(c.format) != QLatin1String("mp4")) {
                EXPECT_EQ(Flag(subtitles[0], "default"), 0);
            }
        }
        if (c.subtitles == 3) {
            EXPECT_EQ(Codec(subtitles[2]), "dvd_subtitle");
            EXPECT_EQ(p.ofType(QStringLiteral("attachment")).size(), 1);
        }
        if (c.dropped) {
            EXPECT_TRUE(r.out.contains(QLatin1String(c.dropped))) << qPrintable(r.out);
        } else {
            EXPECT_FALSE(r.out.contains(QLatin1String("dropped"))) << qPrintable(r.out);
        }
    }
}

TEST_F(KeepTracks, EveryOtherPageKeepsTheTracksChaptersDateAndFileTime)
{
    QTemporaryDir music;
    ASSERT_TRUE(MakeTone(music.filePath("music.mp3"), 3.0, 660));
    const QList<QStringList> pages = {
        {"compress", "--strength", "30"},
        {"rotate", "--rotate", "0"},
        {"mute", "--volume", "3"},
        {"music", "--music", music.filePath("music.mp3")},
        {"split", "--start", "0:0:0", "--end", "0:0:2"},
    };
    const int64_t sourceTime = ModifiedSeconds(media("film.mkv"));
    for (const QStringList& page : pages) {
        SCOPED_TRACE(qPrintable(page.front()));
        QDir(m_out.path()).removeRecursively();
        QDir().mkpath(m_out.path());
        const CliResult r = run(page, "film.mkv");
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
        const QString output = single();
        const Probed p = Probe(output);
        ExpectFilmKept(p);
        EXPECT_EQ(p.ofType(QStringLiteral("subtitle")).size(), 3);
        EXPECT_EQ(p.ofType(QStringLiteral("attachment")).size(), 1);
        EXPECT_EQ(p.chapters.size(), 2);
        EXPECT_EQ(ModifiedSeconds(output), sourceTime);
    }
}

TEST_F(KeepTracks, ExtractGivesOneFilePerSoundTrackOrOneMatroskaWithAll)
{
    CliResult r = run({"extract", "--format", "m4a"}, "film.mkv");
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const QStringList files = FilesIn(m_out.path());
    ASSERT_EQ(files.size(), 2) << qPrintable(files.join(' '));
    // "film-HHMMSS-2.m4a" sorts before "film-HHMMSS.m4a".
    EXPECT_TRUE(files[0].endsWith(QLatin1String("-2.m4a"))) << qPrintable(files.join(' '));
    EXPECT_EQ(Tag(Probe(m_out.filePath(files[1])).streams[0], "language"), "eng");
    EXPECT_EQ(Tag(Probe(m_out.filePath(files[0])).streams[0], "language"), "jpn");

    QDir(m_out.path()).removeRecursively();
    QDir().mkpath(m_out.path());
    r = run({"extract", "--format", "mka"}, "film.mkv");
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const Probed all = Probe(single());
    ASSERT_EQ(all.ofType(QStringLiteral("audio")).size(), 2);
    EXPECT_EQ(Tag(all.streams[1], "title"), "Commentary");
}

TEST_F(KeepTracks, PhoneVideoStaysUprightWithItsDatePlaceMakeAndModel)
{
    for (const char* page : {"convert", "compress"}) {
        SCOPED_TRACE(page);
        QDir(m_out.path()).removeRecursively();
        QDir().mkpath(m_out.path());
        const CliResult r = run({page, "--format", "mp4"}, "phone.mov");
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
        const Probed p = Probe(single());
        EXPECT_EQ(p.tags[QStringLiteral("creation_time")].toString().left(19), "2022-07-08T09:10:11");
        EXPECT_EQ(p.tags[QStringLiteral("location")].toString(), "+48.8583+002.2945/");
        EXPECT_EQ(p.tags[QStringLiteral("com.apple.quicktime.model")].toString(), "iPhone 12");
        const QJsonObject video = p.ofType(QStringLiteral("video"))[0].toObject();
        EXPECT_LT(video[QStringLiteral("width")].toInt(), video[QStringLiteral("height")].toInt());
        EXPECT_FALSE(video.contains(QStringLiteral("side_data_list")));
    }
}

TEST_F(KeepTracks, CoverArtStaysAnAttachedPictureAndTimecodeNeverFailsAJob)
{
    const CliResult r = run({"convert", "--format", "mp4"}, "cover.mp4");
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const Probed p = Probe(single());
    int covers = 0;
    for (const auto& s : p.streams)
        covers += Flag(s, "attached_pic");
    EXPECT_EQ(covers, 1);
    EXPECT_EQ(p.ofType(QStringLiteral("video")).size(), 1);
}

TEST_F(KeepTracks, MergeJoinsEverySoundTrackOrSaysItKeptTheFirst)
{
    QTemporaryDir second;
    QFile::copy(media("film.mkv"), second.filePath("again.mkv"));
    CliResult r = RunCli(
        {"merge", "--format", "mkv", "--output-dir", m_out.path(), media("film.mkv"), second.filePath("again.mkv")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    EXPECT_EQ(Probe(single()).ofType(QStringLiteral("audio")).size(), 2);

    QDir(m_out.path()).removeRecursively();
    QDir().mkpath(m_out.path());
    r = RunCli({"merge", "--format", "mkv", "--output-dir", m_out.path(), media("film.mkv"), media("phone.mov")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    EXPECT_EQ(Probe(single()).ofType(QStringLiteral("audio")).size(), 1);
    EXPECT_TRUE(r.out.contains(QLatin1String("dropped:"))) << qPrintable(r.out);
}

TEST_F(KeepTracks, ProbeListsEveryTrackAndChapter)
{
    const CliResult r = RunCli({"probe", media("film.mkv")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray tracks = json[QStringLiteral("tracks")].toArray();
    ASSERT_EQ(tracks.size(), 7);
    EXPECT_EQ(tracks[2].toObject()[QStringLiteral("title")].toString(), "Commentary");
    EXPECT_TRUE(tracks[4].toObject()[QStringLiteral("forced")].toBool());
    EXPECT_EQ(tracks[5].toObject()[QStringLiteral("codec")].toString(), "dvd_subtitle");
    EXPECT_EQ(tracks[6].toObject()[QStringLiteral("type")].toString(), "attachment");
    EXPECT_EQ(json[QStringLiteral("chapters")].toArray().size(), 2);
}

}  // namespace
