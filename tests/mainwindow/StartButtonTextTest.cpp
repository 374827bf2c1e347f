// The start buttons of the pages: each page names its own button, the button exists in the
// main window's skin under that name (the window finds it and routes its clicks by it), and
// the busy and idle texts are the page's own.

#include "ui/main/StartButtonText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

#include <vector>

namespace tolvex {
namespace {

// Every page, by its number.
std::vector<PageKind> AllPages()
{
    std::vector<PageKind> pages;
    pages.reserve(kPageCount);
    for (int i = 0; i < kPageCount; ++i)
        pages.push_back(static_cast<PageKind>(i));
    return pages;
}

// The object names of every widget in the skin file.
QSet<QString> SkinControlNames(const QString& path)
{
    QSet<QString> names;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return names;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("widget"))
            names.insert(xml.attributes().value(QLatin1String("name")).toString());
    }
    return names;
}

TEST(StartButtonText, EveryPageHasItsOwnButtonInTheSkin)
{
    const QSet<QString> controls = SkinControlNames(QStringLiteral(TOLVEX_SKIN_DIR "/MainWindow.xml"));
    ASSERT_FALSE(controls.isEmpty()) << "the main window's skin could not be read";
    QSet<QString> seen;
    for (const PageKind page : AllPages()) {
        const QString name = QString::fromLatin1(StartButtonTextsFor(page).buttonName);
        EXPECT_TRUE(controls.contains(name)) << name.toStdString() << " is not in the skin";
        EXPECT_FALSE(seen.contains(name)) << name.toStdString() << " is named by two pages";
        seen.insert(name);
    }
}

TEST(StartButtonText, BusyAndIdleTextsOfThePages)
{
    EXPECT_STREQ(StartButtonTextsFor(PageKind::Convert).buttonName, "video-convert-btn");
    EXPECT_STREQ(StartButtonTextsFor(PageKind::Convert).busyText, "转换中");
    EXPECT_STREQ(StartButtonTextsFor(PageKind::Convert).idleText, "开始转换");
    EXPECT_STREQ(StartButtonTextsFor(PageKind::Merge).busyText, "合并中");
    EXPECT_STREQ(StartButtonTextsFor(PageKind::Compress).idleText, "一键压缩");
    EXPECT_STREQ(StartButtonTextsFor(PageKind::Music).idleText, "一键配乐");
    // Without a translation the shown text is the source text, decoded as UTF-8.
    EXPECT_EQ(StartButtonText(PageKind::Split, true), QStringLiteral("处理中"));
    EXPECT_EQ(StartButtonText(PageKind::Split, false), QStringLiteral("一键裁剪"));
    for (const PageKind page : AllPages()) {
        EXPECT_NE(StartButtonText(page, true), StartButtonText(page, false)) << static_cast<int>(page);
        EXPECT_FALSE(StartButtonText(page, true).isEmpty()) << static_cast<int>(page);
    }
}

}  // namespace
}  // namespace tolvex
