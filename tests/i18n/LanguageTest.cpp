// The language of the windows: chosen from --lang or the desktop's locale, every skin text
// translated, and the choices of the combo boxes read the same by the jobs in either
// language (an English compress job still keeps the file's own format).

#include "media/CompressBudget.h"
#include "tasks/ChildProcess.h"
#include "tasks/FfmpegLocator.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/UiLanguage.h"
#include "ui/main/FailureReasonText.h"
#include "ui/main/PageTasks.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace tolvex::test {
namespace {

using Language = UiLanguage::Language;

TEST(LanguageChoiceTest, EnglishLocalesGetEnglishEverythingElseTheChineseTexts)
{
    EXPECT_EQ(UiLanguage::forLocale(QLocale(QStringLiteral("en_US"))), Language::English);
    EXPECT_EQ(UiLanguage::forLocale(QLocale(QStringLiteral("en_GB"))), Language::English);
    EXPECT_EQ(UiLanguage::forLocale(QLocale(QStringLiteral("zh_CN"))), Language::Chinese);
    EXPECT_EQ(UiLanguage::forLocale(QLocale(QStringLiteral("zh_TW"))), Language::Chinese);
    // No translation for these: the Chinese texts.
    EXPECT_EQ(UiLanguage::forLocale(QLocale(QStringLiteral("de_DE"))), Language::Chinese);
    EXPECT_EQ(UiLanguage::forLocale(QLocale::c()), Language::Chinese);

    EXPECT_EQ(UiLanguage::fromCode(QStringLiteral("EN")), Language::English);
    EXPECT_EQ(UiLanguage::fromCode(QStringLiteral(" zh")), Language::Chinese);
    EXPECT_FALSE(UiLanguage::fromCode(QStringLiteral("fr")));
    EXPECT_FALSE(UiLanguage::fromCode(QString()));
}

// The engine's reasons in the user's language, built from the engine's own words (so a
// rewording there that the window no longer knows shows here), details kept.
TEST(FailureReasonTextTest, EngineReasonsAreShownInEitherLanguageWithTheirDetails)
{
    ExitStatus exited;
    exited.exited = true;
    exited.code = 1;
    const QString statusReason = QString::fromStdString(exited.describe()) + QStringLiteral(": Conversion failed!");
    ExitStatus killed;
    killed.signal = 9;
    const QString tooSmall = QString::fromStdString(CompressRefusalText(CompressRefusal::TooSmall));

    ASSERT_TRUE(UiLanguage::install(Language::Chinese));
    EXPECT_EQ(FailureReasonText(QLatin1String(kFfmpegNotFound)), QStringLiteral("找不到ffmpeg程序"));
    EXPECT_EQ(FailureReasonText(statusReason), QStringLiteral("ffmpeg退出，状态码 1: Conversion failed!"));
    EXPECT_EQ(FailureReasonText(QString::fromStdString(killed.describe())), QStringLiteral("ffmpeg被信号 9 结束"));
    EXPECT_EQ(FailureReasonText(tooSmall), tooSmall);
    // Words the window does not know pass through; a bare leading phrase is not a match.
    EXPECT_EQ(FailureReasonText(QStringLiteral("Invalid data found")), QStringLiteral("Invalid data found"));
    EXPECT_EQ(FailureReasonText(QStringLiteral("cannot run ")), QStringLiteral("cannot run "));

    ASSERT_TRUE(UiLanguage::install(Language::English));
    EXPECT_EQ(FailureReasonText(QLatin1String(kFfmpegNotFound)), QStringLiteral("ffmpeg was not found"));
    EXPECT_EQ(FailureReasonText(statusReason), QStringLiteral("ffmpeg exited with status 1: Conversion failed!"));
    EXPECT_EQ(FailureReasonText(tooSmall), QStringLiteral("The target is too small to compress to that size"));
    UiLanguage::install(Language::Chinese);
}

// The Chinese texts of a skin file with its form's class name (the translation context).
struct SkinTexts {
    QString context;
    QStringList texts;
};

SkinTexts ReadSkinTexts(const QString& path)
{
    SkinTexts result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    static const QRegularExpression han(QStringLiteral("[\\x{3400}-\\x{9fff}]"));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        if (xml.name() == QLatin1String("class") && result.context.isEmpty()) {
            result.context = xml.readElementText();
        } else if (xml.name() == QLatin1String("string")) {
            const bool untranslatable = xml.attributes().value(QLatin1String("notr")) == QLatin1String("true");
            const QString text = xml.readElementText();
            if (!untranslatable && han.match(text).hasMatch())
                result.texts << text;
        }
    }
    return result;
}

class EnglishTest : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UiLanguage::install(Language::English)) << UiLanguage::translationsFolder().toStdString();
        WindowTest::SetUp();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        UiLanguage::install(Language::Chinese);
    }
};

TEST(SkinTranslationTest, EverySkinTextHasAnEnglishTranslation)
{
    ASSERT_TRUE(UiLanguage::install(Language::English));
    const QDir skins(QStringLiteral(TOLVEX_SOURCE_SKIN_DIR));
    const QStringList files = skins.entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    int checked = 0;
    for (const QString& name : files) {
        const SkinTexts skin = ReadSkinTexts(skins.filePath(name));
        for (const QString& text : skin.texts) {
            ++checked;
            const QString english =
                QCoreApplication::translate(skin.context.toUtf8().constData(), text.toUtf8().constData());
            EXPECT_NE(english, text) << name.toStdString() << ": \"" << text.toStdString()
                                     << "\" has no English text; run `make translations` and translate it";
        }
    }
    EXPECT_GT(checked, 100);
    UiLanguage::install(Language::Chinese);
    EXPECT_EQ(UiLanguage::current(), Language::Chinese);
    EXPECT_EQ(QCoreApplication::translate("MainWindow", "添加文件"), QStringLiteral("添加文件"));
}

TEST(SkinTranslationTest, EveryTextOfTheTranslationFilesIsTranslated)
{
    const QDir folder(QStringLiteral(TOLVEX_TS_DIR));
    const QStringList files = folder.entryList({QStringLiteral("*.ts")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString context;
        QString source;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                ++messages;
                const bool unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
                const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                EXPECT_FALSE(unfinished || text.trimmed().isEmpty())
                    << name.toStdString() << " " << context.toStdString() << ": \"" << source.toStdString()
                    << "\" is not translated";
            }
        }
        EXPECT_FALSE(xml.hasError()) << name.toStdString() << ": " << xml.errorString().toStdString();
        EXPECT_GT(messages, 100) << name.toStdString();
    }
}

TEST_F(EnglishTest, TheWindowSpeaksEnglishWhileTheChoicesStayWhatTheJobsRead)
{
    EXPECT_EQ(UiLanguage::current(), Language::English);
    EXPECT_EQ(textIn(&window(), "add-video-convert-btn"), QStringLiteral("Add files"));
    EXPECT_EQ(textIn(&window(), "video-convert-page"), QStringLiteral("Convert"));
    QAbstractButton* start = window().startButton(PageKind::Convert);
    EXPECT_EQ(start->text(), QStringLiteral("Convert"));
    window().setPageBusy(PageKind::Convert, true);
    EXPECT_EQ(start->text(), QStringLiteral("Converting"));
    window().setPageBusy(PageKind::Convert, false);

    // The merge page's size box shows "Auto" and gives "自动" to the job.
    auto* ratio = window().findControlAs<QComboBox>(QStringLiteral("video-merge-ratio"));
    ASSERT_NE(ratio, nullptr);
    EXPECT_EQ(ratio->currentText(), QStringLiteral("Auto"));
    EXPECT_EQ(ControlText(ratio), QStringLiteral("自动"));
    SetControlText(ratio, QStringLiteral("自动"));
    EXPECT_EQ(ratio->currentText(), QStringLiteral("Auto"));

    // A convert item's size box, filled by code from the format's table.
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("english.mp4"))});
    auto* itemRatio = FindSubControlAs<QComboBox>(itemAt(PageKind::Convert, 0), QStringLiteral("video-convert-ratio"));
    ASSERT_NE(itemRatio, nullptr);
    EXPECT_EQ(itemRatio->currentText(), QStringLiteral("Auto"));
    EXPECT_EQ(ControlText(itemRatio), QStringLiteral("自动"));
}

TEST_F(EnglishTest, AnEnglishCompressJobKeepsTheFilesOwnFormat)
{
    addAndWait(PageKind::Compress, {Clip(QStringLiteral("keep.mkv"), 2.0, 320, 240)});
    QWidget* item = itemAt(PageKind::Compress, 0);
    auto* format = FindSubControlAs<QComboBox>(item, QStringLiteral("video-compress-format"));
    if (format) {
        EXPECT_EQ(format->currentText(), QStringLiteral("Same format"));
        EXPECT_EQ(ControlText(format), QStringLiteral("原格式"));
    }
    ASSERT_TRUE(startAndWaitIdle(PageKind::Compress));
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.front().endsWith(QLatin1String(".mkv"))) << files.front().toStdString();
    const ProbedFile probed = ProbeFile(QDir(outputFolder()).filePath(files.front()));
    EXPECT_TRUE(probed.ok);
    EXPECT_TRUE(probed.hasVideo);
    EXPECT_GT(probed.duration, 1.5);
}

class ChineseWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UiLanguage::install(Language::Chinese));
        WindowTest::SetUp();
    }
};

TEST_F(ChineseWindowTest, AFailedItemTellsFfmpegsFailureInChinese)
{
    // Not a video at all: ffmpeg gives up on it.
    const QString broken = QDir(outputFolder()).filePath(QStringLiteral("../reason-broken.mp4"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    }
    addAndWait(PageKind::Rotate, {broken});
    ASSERT_TRUE(startAndWaitIdle(PageKind::Rotate));
    QFile::remove(broken);
    QWidget* item = itemAt(PageKind::Rotate, 0);
    ASSERT_NE(item, nullptr);
    QString tip;
    for (QWidget* child : item->findChildren<QWidget*>()) {
        if (child->objectName().endsWith(QLatin1String("-error")) && child->isVisibleTo(item))
            tip = child->toolTip();
    }
    EXPECT_TRUE(tip.startsWith(QStringLiteral("ffmpeg退出，状态码 "))) << tip.toStdString();
    // The item's own tip says the same, not the engine's English.
    EXPECT_EQ(item->toolTip(), tip);
}

}  // namespace
}  // namespace tolvex::test
