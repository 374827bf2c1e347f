// The Debian package `make package` builds: made with cpack from the build tree, read with
// dpkg-deb, checked by lintian, unpacked into a scratch root with dpkg -x, its software-centre
// data checked by appstreamcli, and the unpacked programs started there (the window offscreen,
// far enough to load its skin and its translation).

#include "app/BuildInfo.h"
#include "tests/app/TestEnv.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>
#include <utility>

namespace tolvex::test {
namespace {

const QString kBuildDir = QStringLiteral(TOLVEX_BUILD_DIR);
const QString kDesktopEntry = QStringLiteral("usr/share/applications/%1.desktop").arg(QLatin1String(kApplicationId));
const QString kMetainfo = QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(QLatin1String(kApplicationId));

class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_work = new QTemporaryDir;
        QByteArray out;
        QByteArray err;
        const bool made =
            RunProgram(QStringLiteral("cpack"),
                       {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                        kBuildDir + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), s_work->path()},
                       &out, &err, 540000);
        const QStringList debs = QDir(s_work->path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (made && debs.size() == 1)
            s_package = new QString(QDir(s_work->path()).filePath(debs.front()));
        else
            std::cerr << "cpack failed:\n" << out.toStdString() << err.toStdString() << std::endl;
    }
    static void TearDownTestSuite()
    {
        delete s_package;
        s_package = nullptr;
        delete s_work;
        s_work = nullptr;
    }
    void SetUp() override { ASSERT_NE(s_package, nullptr) << "no package was made"; }

    static QString field(const QString& name)
    {
        QByteArray out;
        EXPECT_TRUE(RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), *s_package, name}, &out));
        return QString::fromUtf8(out).trimmed();
    }

    static QTemporaryDir* s_work;
    static QString* s_package;
};

QTemporaryDir* PackageTest::s_work = nullptr;
QString* PackageTest::s_package = nullptr;

TEST_F(PackageTest, ControlFieldsNameTheProgramAndWhatItNeedsToRun)
{
    EXPECT_EQ(field(QStringLiteral("Package")), QStringLiteral("tolvex-video-converter"));
    EXPECT_EQ(field(QStringLiteral("Version")), QStringLiteral(TOLVEX_PROJECT_VERSION));
    EXPECT_EQ(field(QStringLiteral("Section")), QStringLiteral("video"));
    EXPECT_FALSE(field(QStringLiteral("Maintainer")).isEmpty());
    EXPECT_FALSE(field(QStringLiteral("Architecture")).isEmpty());
    const QString depends = field(QStringLiteral("Depends"));
    // What it runs (every job), what it loads without linking (Qt's plugins; FFmpeg, SDL and
    // curl, opened once the window shows), and (from dpkg-shlibdeps) what it links.
    for (const char* needed : {"ffmpeg", "qt6-qpa-plugins", "libqt6widgets6", "libqt6uitools6", "libavformat",
                               "libgoogle-glog", "libc6", "libsdl2", "libcurl", "libswscale", "libswresample"})
        EXPECT_TRUE(depends.contains(QLatin1String(needed))) << needed << " missing from: " << depends.toStdString();
}

TEST_F(PackageTest, ContentsAreTheProgramItsFilesAndNothingOfTheBuild)
{
    QByteArray out;
    ASSERT_TRUE(RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), *s_package}, &out));
    QStringList paths;
    for (const QString& line : QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype at = line.indexOf(QLatin1String(" ./"));
        if (at >= 0)
            paths << line.mid(at + 1);
    }
    for (const char* wanted :
         {"./usr/bin/tolvex-video-converter", "./usr/bin/tolvex-cli",
          "./usr/share/tolvex-video-converter/skin/MainWindow.xml", "./usr/share/tolvex-video-converter/skin/theme.qss",
          "./usr/share/tolvex-video-converter/skin/images/logo.png",
          "./usr/share/tolvex-video-converter/translations/tolvex_en.qm",
          "./usr/share/icons/hicolor/256x256/apps/tolvex-video-converter.png",
          "./usr/share/icons/hicolor/scalable/apps/tolvex-video-converter.svg",
          "./usr/share/man/man1/tolvex-video-converter.1.gz", "./usr/share/man/man1/tolvex-cli.1.gz",
          "./usr/share/bash-completion/completions/tolvex-cli", "./usr/share/doc/tolvex-video-converter/copyright",
          "./usr/share/doc/tolvex-video-converter/changelog.gz"})
        EXPECT_TRUE(paths.contains(QString::fromLatin1(wanted))) << wanted;
    EXPECT_TRUE(paths.contains(QStringLiteral("./") + kDesktopEntry));
    EXPECT_TRUE(paths.contains(QStringLiteral("./") + kMetainfo));
    for (const QString& path : paths) {
        EXPECT_FALSE(path.contains(QLatin1String("test_")) || path.contains(QLatin1String("bench")) ||
                     path.endsWith(QLatin1String(".a")) || path.contains(QLatin1String("/include/")))
            << path.toStdString();
    }
}

TEST_F(PackageTest, TheUnpackedProgramFindsItsSkinAndTranslationBesideItself)
{
    QTemporaryDir root;
    ASSERT_TRUE(RunProgram(QStringLiteral("dpkg"), {QStringLiteral("-x"), *s_package, root.path()}));
    const QString program = root.filePath(QStringLiteral("usr/bin/tolvex-video-converter"));
    ASSERT_TRUE(QFileInfo(program).isExecutable());

    // The desktop entry opens video files with the program.
    QFile entry(root.filePath(kDesktopEntry));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString desktop = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(desktop.contains(QLatin1String("Exec=tolvex-video-converter %F")));
    EXPECT_TRUE(desktop.contains(QLatin1String("video/mp4;")));

    ScopedHome home;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString skin = QDir::cleanPath(root.filePath(QStringLiteral("usr/share/tolvex-video-converter/skin")));
    for (const char* language : {"en", "zh"}) {
        QByteArray out;
        QByteArray err;
        EXPECT_TRUE(RunProgram(
            program, {QStringLiteral("--load-and-quit"), QStringLiteral("--lang"), QString::fromLatin1(language)}, &out,
            &err, 120000))
            << err.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("loaded %1 (%2)").arg(skin, QString::fromLatin1(language)).toUtf8()))
            << out.toStdString();
    }

    // Without --lang the desktop's locale decides, also when the system never generated
    // that locale (the C++ library cannot make it; Qt reads the name).
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LANGUAGE");
    for (const auto& [locale, language] :
         {std::pair{"en_US.UTF-8", "en"}, std::pair{"de_DE.UTF-8", "zh"}, std::pair{"zh_CN.UTF-8", "zh"}}) {
        qputenv("LANG", locale);
        QByteArray out;
        QByteArray err;
        EXPECT_TRUE(RunProgram(program, {QStringLiteral("--load-and-quit")}, &out, &err, 120000))
            << locale << ": " << err.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("loaded %1 (%2)").arg(skin, QString::fromLatin1(language)).toUtf8()))
            << locale << ": " << out.toStdString();
    }
    qputenv("LANG", "C.UTF-8");

    // Without its translation the program still starts, in its own texts.
    ASSERT_TRUE(
        QFile::remove(root.filePath(QStringLiteral("usr/share/tolvex-video-converter/translations/tolvex_en.qm"))));
    QByteArray out;
    EXPECT_TRUE(
        RunProgram(program, {QStringLiteral("--load-and-quit"), QStringLiteral("--lang"), QStringLiteral("en")}, &out));
    EXPECT_TRUE(out.contains(QStringLiteral("loaded %1 (zh)").arg(skin).toUtf8())) << out.toStdString();

    // Without its skin it says so and fails.
    ASSERT_TRUE(QDir(skin).removeRecursively());
    EXPECT_FALSE(RunProgram(program, {QStringLiteral("--load-and-quit")}));
}

// What a distribution reviewer runs first: lintian, with no error and no warning.
TEST_F(PackageTest, LintianFindsNoErrorOrWarning)
{
    QByteArray out;
    QByteArray err;
    // Exit status 0: lintian ran and found no error; warnings are told by their lines.
    EXPECT_TRUE(RunProgram(QStringLiteral("lintian"),
                           {QStringLiteral("--tag-display-limit"), QStringLiteral("0"), *s_package}, &out, &err,
                           540000))
        << out.toStdString() << err.toStdString();
    QStringList complaints;
    for (const QString& line : QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("E: ")) || line.startsWith(QLatin1String("W: ")))
            complaints << line;
    }
    EXPECT_TRUE(complaints.isEmpty()) << complaints.join(QLatin1Char('\n')).toStdString();
}

// Software centres, desktops and shells find the program: valid AppStream data naming the
// desktop entry installed beside it and this release, and both programs answer --version and
// --help without a display.
TEST_F(PackageTest, SoftwareCentreDataNamesTheDesktopEntryAndThisRelease)
{
    QTemporaryDir root;
    ASSERT_TRUE(RunProgram(QStringLiteral("dpkg"), {QStringLiteral("-x"), *s_package, root.path()}));

    QByteArray out;
    QByteArray err;
    EXPECT_TRUE(RunProgram(QStringLiteral("appstreamcli"),
                           {QStringLiteral("validate"), QStringLiteral("--no-net"), root.filePath(kMetainfo)}, &out,
                           &err))
        << out.toStdString() << err.toStdString();

    QFile metainfo(root.filePath(kMetainfo));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(metainfo.readAll());
    const auto launchable =
        QRegularExpression(QStringLiteral("<launchable type=\"desktop-id\">([^<]+)</launchable>")).match(xml);
    ASSERT_TRUE(launchable.hasMatch());
    EXPECT_EQ(QStringLiteral("usr/share/applications/") + launchable.captured(1), kDesktopEntry);
    EXPECT_TRUE(QFile::exists(root.filePath(kDesktopEntry)));
    const auto release = QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(xml);
    ASSERT_TRUE(release.hasMatch());
    EXPECT_EQ(release.captured(1), QLatin1String(kProgramVersion)) << "the newest release comes first";
    for (const char* chinese : {"<name xml:lang=\"zh_CN\">", "<summary xml:lang=\"zh_CN\">", "<p xml:lang=\"zh_CN\">",
                                "<caption xml:lang=\"zh_CN\">"})
        EXPECT_TRUE(xml.contains(QLatin1String(chinese))) << chinese;

    for (const char* program : {"tolvex-video-converter", "tolvex-cli"}) {
        QByteArray version;
        EXPECT_TRUE(RunProgram(root.filePath(QStringLiteral("usr/bin/") + QLatin1String(program)),
                               {QStringLiteral("--version")}, &version));
        EXPECT_EQ(QString::fromUtf8(version), QStringLiteral("%1 %2\n").arg(QLatin1String(program), kProgramVersion));
        QByteArray help;
        EXPECT_TRUE(RunProgram(root.filePath(QStringLiteral("usr/bin/") + QLatin1String(program)),
                               {QStringLiteral("--help")}, &help));
        EXPECT_TRUE(help.startsWith(QByteArray("usage: ") + program)) << help.toStdString();
    }
}

}  // namespace
}  // namespace tolvex::test
