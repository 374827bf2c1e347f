#include "app/Folders.h"
#include "app/IniFile.h"
#include "app/Settings.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

using namespace tolvex;

namespace {

// Captures what a block prints on standard output.
// Captures what the process writes to its standard output (the console lines go through
// stdio) by pointing file descriptor 1 at a scratch file until text() is read.
class CaptureStdout {
public:
    CaptureStdout() : m_file(std::tmpfile())
    {
        std::fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        dup2(fileno(m_file), STDOUT_FILENO);
    }
    ~CaptureStdout()
    {
        restore();
        std::fclose(m_file);
    }
    std::string text()
    {
        restore();
        std::string captured;
        std::rewind(m_file);
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, m_file)) > 0;)
            captured.append(chunk, n);
        return captured;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    FILE* m_file;
    int m_saved = -1;
};

// While it lives, this thread cannot read past file permissions: root loses the two
// capabilities that let it open a file of mode 000, as any user would find it.
class NoPermissionOverride {
public:
    NoPermissionOverride()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        m_changed = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~NoPermissionOverride()
    {
        if (m_changed)
            ::syscall(SYS_capset, &m_header, m_saved);
    }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_changed = false;
};

// The settings file is one per process, its path fixed at its first use: every test of
// this binary shares one home for it, which outlives them all.
class SettingsHome : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_home = std::make_unique<test::ScopedHome>();
        SettingsFile::instance();
    }
    void TearDown() override { m_home.reset(); }

private:
    std::unique_ptr<test::ScopedHome> m_home;
};
[[maybe_unused]] ::testing::Environment* const kSettingsHome = ::testing::AddGlobalTestEnvironment(new SettingsHome);

}  // namespace

TEST(Folders, AppDataFolderCreatesEveryLevel)
{
    test::ScopedHome home;
    const QString temp = AppDataFolder(QStringLiteral("TolvexVideoConverter\\Temp"));
    EXPECT_EQ(temp, home.dataHome() + QStringLiteral("/TolvexVideoConverter/Temp"));
    EXPECT_TRUE(QFileInfo(temp).isDir());
    EXPECT_EQ(TempFolder(), temp);
}

TEST(Folders, EachProcessHasItsOwnTempFolderAndThoseOfEndedOnesAreSwept)
{
    test::ScopedHome home;
    const QString own = ProcessTempFolder();
    EXPECT_EQ(own, TempFolder() + QStringLiteral("/%1").arg(::getpid()));
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const QString stale = TempFolder() + QStringLiteral("/%1").arg(ended);
    const QString running = TempFolder() + QStringLiteral("/1");
    const QString notAProcess = TempFolder() + QStringLiteral("/0042");
    for (const QString& folder : {own, stale, running, notAProcess}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/thumb.jpg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // The killed run's thumbnail moves here, where its restored item looks for it.
    const QString thumbnail = stale + QStringLiteral("/clip-thumbnail-20261209034406.jpg");
    QFile(stale + QStringLiteral("/thumb.jpg")).copy(thumbnail);
    EXPECT_EQ(SweepStaleTempFolders(), 1);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_EQ(AdoptedThumbnailPath(thumbnail), own + QStringLiteral("/clip-thumbnail-20261209034406.jpg"));
    EXPECT_TRUE(QFileInfo::exists(AdoptedThumbnailPath(thumbnail)));
    for (const QString& folder : {own, running, notAProcess})
        EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/thumb.jpg"))) << folder.toStdString();
    EXPECT_TRUE(RemoveProcessTempFolder());
    EXPECT_FALSE(QFileInfo::exists(own));
    EXPECT_TRUE(QFileInfo::exists(running));
}

TEST(Folders, DefaultOutputFolderInDocuments)
{
    test::ScopedHome home;
    ASSERT_TRUE(WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), QString()));
    const QString out = OutputFolder();
    EXPECT_EQ(out, home.home() + QStringLiteral("/Documents/TOLVEX视频转换器"));
    EXPECT_TRUE(QFileInfo(out).isDir());
}

TEST(Folders, StoredOutputFolderIsRecreatedUnchanged)
{
    test::ScopedHome home;
    const QString stored = home.home() + QStringLiteral("/gone/deeper/输出 $dir");
    ASSERT_TRUE(WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), stored));
    EXPECT_EQ(OutputFolder(), stored);
    EXPECT_TRUE(QFileInfo(stored).isDir());
}

TEST(Folders, UncreatableLevelsPrintOneLineEach)
{
    test::ScopedHome home;
    const QString blocker = home.home() + QStringLiteral("/file");
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    CaptureStdout capture;
    const QString path = blocker + QStringLiteral("/a/b");
    EXPECT_EQ(EnsureFolderPath(path), path);
    const std::string out = capture.text();
    EXPECT_NE(out.find("create dir error fullPath: " + (blocker + "/a").toStdString()), std::string::npos) << out;
    EXPECT_NE(out.find("create dir error curPath: " + path.toStdString()), std::string::npos) << out;
}

TEST(Settings, ReadsWhatWasWrittenWithoutCache)
{
    test::ScopedHome home;
    QString value;
    // The default counts as read text.
    EXPECT_TRUE(ReadSetting("global", "user-real-ip", "dflt", value, 56));
    EXPECT_EQ(value, "dflt");
    ASSERT_TRUE(WriteSetting("global", "user-real-ip", "203.0.113.9"));
    EXPECT_TRUE(ReadSetting("global", "user-real-ip", "", value, 56));
    EXPECT_EQ(value, "203.0.113.9");

    // An edit made behind the program's back is seen by the next read.
    const IniFile ini(SettingsFile::instance().path());
    ASSERT_TRUE(ini.setValue("global", "user-real-ip", "198.51.100.1"));
    EXPECT_TRUE(ReadSetting("global", "user-real-ip", "", value, 56));
    EXPECT_EQ(value, "198.51.100.1");

    // The buffer size cuts the text.
    ASSERT_TRUE(WriteSetting("global", "user-real-ip", QString(80, QLatin1Char('9'))));
    ReadSetting("global", "user-real-ip", "", value, 56);
    EXPECT_EQ(value.size(), 55);
}

TEST(Settings, AFileThatCannotBeReadIsNeverRewritten)
{
    const QString path = SettingsFile::instance().path();
    ASSERT_TRUE(WriteSetting("global", "output-dir", "/videos/kept"));
    ASSERT_TRUE(WriteSetting("folders", "music", "/music/kept"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    ASSERT_TRUE(QFile::setPermissions(path, QFile::Permissions()));
    {
        const NoPermissionOverride asAUser;
        QFile probe(path);
        ASSERT_FALSE(probe.open(QIODevice::ReadOnly)) << "the file cannot be read";
        EXPECT_FALSE(WriteSetting("global", "user-real-ip", "203.0.113.9"));
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before) << "every setting is still there";
    QString value;
    ReadSetting("global", "output-dir", "", value, 0);
    EXPECT_EQ(value, "/videos/kept");
}

TEST(Settings, KeysKeepTheirNeighbours)
{
    QTemporaryDir dir;
    const IniFile ini(dir.path() + "/x.ini");
    ASSERT_TRUE(ini.setValue("global", "a", "1"));
    ASSERT_TRUE(ini.setValue("other", "a", "2"));
    ASSERT_TRUE(ini.setValue("global", "b", "中文"));
    ASSERT_TRUE(ini.setValue("global", "a", "3"));
    EXPECT_EQ(ini.value("global", "a"), QString("3"));
    EXPECT_EQ(ini.value("other", "a"), QString("2"));
    EXPECT_EQ(ini.value("global", "b"), QString("中文"));
    EXPECT_FALSE(ini.value("global", "c").has_value());
    EXPECT_FALSE(IniFile(dir.path() + "/missing.ini").value("global", "a").has_value());
}

TEST(Settings, ConcurrentWritersAndReaders)
{
    QTemporaryDir dir;
    const IniFile ini(dir.path() + "/c.ini");
    std::vector<std::thread> threads;
    threads.reserve(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&ini, t] {
            for (int i = 0; i < 50; ++i) {
                ini.setValue("global", QStringLiteral("k%1").arg(t), QString::number(i));
                ini.value("global", "k0");
            }
        });
    }
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(ini.value("global", QStringLiteral("k%1").arg(t)), QString("49"));
}

TEST(Settings, ValuesReadBackExactlyAndCannotInjectKeys)
{
    QTemporaryDir dir;
    const IniFile ini(dir.path() + "/x.ini");
    const QString tricky[] = {
        QStringLiteral("/a\n[global]\nuser-real-ip=6.6.6.6"),  // a line break that would start keys of its own
        QStringLiteral("  blanks at both ends  "),
        QStringLiteral("\"quoted\""),
        QStringLiteral("\"half"),
        QStringLiteral("back\\slash\\n \\\" and \t tab\r"),
        QStringLiteral("\\x41 not an escape in a plain value"),
        QString(),
        QStringLiteral("中文 \u2028 line separator"),
        QStringLiteral("="),
    };
    for (const QString& value : tricky) {
        ASSERT_TRUE(ini.setValue("global", "output-dir", value)) << qPrintable(value);
        EXPECT_EQ(ini.value("global", "output-dir"), value) << qPrintable(value);
        EXPECT_FALSE(ini.value("global", "user-real-ip").has_value()) << qPrintable(value);
    }
    // A hand-written value in quotes still reads without them.
    QFile file(dir.path() + "/hand.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[global]\noutput-dir = \"/media/my videos\" \nuser-real-ip=1.2.3.4\n");
    file.close();
    EXPECT_EQ(IniFile(file.fileName()).value("global", "output-dir"), QStringLiteral("/media/my videos"));

    // Names a line cannot hold are refused, and the file is left as it was.
    EXPECT_FALSE(ini.setValue("glo\nbal", "k", "v"));
    EXPECT_FALSE(ini.setValue("a]b", "k", "v"));
    EXPECT_FALSE(ini.setValue("global", "k=1", "v"));
    EXPECT_FALSE(ini.setValue("global", "k\nx", "v"));
    EXPECT_FALSE(ini.setValue("global", "[k", "v"));
    EXPECT_FALSE(ini.setValue("global", "", "v"));
    EXPECT_FALSE(ini.value("global", "k").has_value());
}

TEST(Settings, UnfinishedEscapesStandForThemselves)
{
    // A backslash that starts no complete escape is kept, never read past the value's end.
    EXPECT_EQ(IniFile::decodeValue(QStringLiteral("\"\\\"")), QStringLiteral("\\"));
    EXPECT_EQ(IniFile::decodeValue(QStringLiteral("\"\\x4\"")), QStringLiteral("\\x4"));
    EXPECT_EQ(IniFile::decodeValue(QStringLiteral("\"\\u12\"")), QStringLiteral("\\u12"));
    EXPECT_EQ(IniFile::decodeValue(QStringLiteral("\"\"")), QString());
    EXPECT_EQ(IniFile::valueIn(QStringLiteral("[global\n=\n[]\nk"), "global", "k"), std::nullopt);
}

TEST(Settings, LongOutputFolderIsNotCutAndReadSettingCountsTheDefault)
{
    test::ScopedHome home;
    QString deep = home.home();
    while (deep.size() < 700)
        deep += QStringLiteral("/a-rather-long-folder-name");
    ASSERT_TRUE(WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), deep));
    EXPECT_EQ(OutputFolder(), deep);
    EXPECT_TRUE(QFileInfo(deep).isDir());

    QString value;
    EXPECT_TRUE(ReadSetting("global", "missing-key", "fallback", value, 56));
    EXPECT_EQ(value, "fallback");
    EXPECT_FALSE(ReadSetting("global", "missing-key", "", value, 56));
}
