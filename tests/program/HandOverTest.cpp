// Files given to a later start: the request that carries them to the running program
// (read in any pieces), and the real program started a second time with files, whose
// files appear on the running window's convert page.

#include "app/ProgramOptions.h"
#include "program/Program.h"
#include "program/SingleInstance.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace tolvex::test {
namespace {

TEST(HandOverRequestTest, FilesOfAnyNameArriveWholeWhateverPiecesTheRequestComesIn)
{
    const QStringList files = {QStringLiteral("/tmp/a b/片段 1.mp4"), QStringLiteral("/tmp/line\nbreak.mkv"),
                               QStringLiteral("/tmp/100%;#?.avi")};
    const QByteArray request = SingleInstance::encodeRequest(files);
    for (qsizetype cut = 0; cut < request.size(); ++cut)
        EXPECT_FALSE(SingleInstance::decodeRequest(request.left(cut))) << cut;
    const auto decoded = SingleInstance::decodeRequest(request);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, files);

    const auto none = SingleInstance::decodeRequest(SingleInstance::encodeRequest({}));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());
    // Lines that are not local files are left out.
    const auto odd = SingleInstance::decodeRequest("activate\nopen http://x/y.mp4\nopen \nwhat\nend\n");
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->isEmpty());
}

TEST(ProgramOptionsTest, LanguageFilesAndTheLoadCheck)
{
    const QString cwd = QStringLiteral("/home/u/videos");
    ProgramOptions options = ParseProgramOptions(
        {QStringLiteral("--lang"), QStringLiteral("EN"), QStringLiteral("a.mp4"), QStringLiteral("../b c.mkv"),
         QStringLiteral("file:///tmp/%E7%89%87.mp4"), QStringLiteral("--"), QStringLiteral("--odd.mp4")},
        cwd);
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_EQ(options.language, QStringLiteral("en"));
    EXPECT_FALSE(options.loadAndQuit);
    EXPECT_EQ(options.files, (QStringList{QStringLiteral("/home/u/videos/a.mp4"), QStringLiteral("/home/u/b c.mkv"),
                                          QStringLiteral("/tmp/片.mp4"), QStringLiteral("/home/u/videos/--odd.mp4")}));

    options = ParseProgramOptions({QStringLiteral("--lang=zh"), QStringLiteral("--load-and-quit")}, cwd);
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_EQ(options.language, QStringLiteral("zh"));
    EXPECT_TRUE(options.loadAndQuit);
    EXPECT_TRUE(options.files.isEmpty());

    for (const QStringList& bad :
         {QStringList{QStringLiteral("--lang")}, QStringList{QStringLiteral("--lang"), QStringLiteral("fr")},
          QStringList{QStringLiteral("--verbose")}, QStringList{QStringLiteral("http://example.com/a.mp4")}})
        EXPECT_FALSE(ParseProgramOptions(bad, cwd).error.isEmpty()) << bad.join(QLatin1Char(' ')).toStdString();
}

class HandOverTest : public WindowTest {};

TEST_F(HandOverTest, ASecondStartWithFilesAddsThemToTheRunningWindowsConvertPage)
{
    SingleInstance instance;
    ASSERT_TRUE(instance.tryBecomePrimary());
    AcceptHandOvers(instance, window());
    window().selectPage(PageKind::Merge);

    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("第一 clip.mp4"));
    const QString second = folder.filePath(QStringLiteral("second.mp4"));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("hand-a.mp4")), first));
    ASSERT_TRUE(QFile::copy(Clip(QStringLiteral("hand-b.mp4")), second));

    // The real program, started as a file manager would; it hands over and ends.
    QProcess later;
    later.setWorkingDirectory(folder.path());
    later.setProcessChannelMode(QProcess::ForwardedChannels);
    later.start(QStringLiteral(TOLVEX_PROGRAM_PATH), {QStringLiteral("第一 clip.mp4"), second});
    ASSERT_TRUE(WaitFor([&] { return later.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);

    CListUI* list = window().pageList(PageKind::Convert);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 2; }, 60000)) << m_notAdded.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(textIn(list->itemAt(0), "input-filename"), QStringLiteral("第一 clip.mp4"));
    EXPECT_EQ(textIn(list->itemAt(1), "input-filename"), QStringLiteral("second.mp4"));
    EXPECT_EQ(window().currentPage(), PageKind::Convert);

    // A start without files only brings the window forward.
    QProcess plain;
    plain.start(QStringLiteral(TOLVEX_PROGRAM_PATH), QStringList());
    ASSERT_TRUE(WaitFor([&] { return plain.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(plain.exitCode(), 0);
    ASSERT_TRUE(WaitFor([&] { return instance.receivedRequests() == 2; }, 10000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(list->count(), 2);
}

TEST_F(HandOverTest, FilesHandedOverWhileTheWindowStillLoadsAreAddedOnceItIsReady)
{
    SingleInstance instance;
    ASSERT_TRUE(instance.tryBecomePrimary());
    // The later start comes before the window took the hand-overs (it was still loading).
    QProcess early;
    early.start(QStringLiteral(TOLVEX_PROGRAM_PATH), {Clip(QStringLiteral("early.mp4"))});
    ASSERT_TRUE(WaitFor([&] { return early.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(early.exitCode(), 0);
    ASSERT_TRUE(WaitFor([&] { return instance.receivedRequests() == 1; }, 10000)) << "the request is waiting";

    AcceptHandOvers(instance, window());
    CListUI* list = window().pageList(PageKind::Convert);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 1; }, 60000));
    EXPECT_EQ(textIn(list->itemAt(0), "input-filename"), QStringLiteral("early.mp4"));
}

}  // namespace
}  // namespace tolvex::test
