// A label's picture is read from its file while the label is shown, and dropped when it
// is hidden.

#include "ui/framework/ShownPixmapLoader.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

TEST(ShownPixmapLoaderTest, PictureOnlyWhileShownScaledIntoTheLabel)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("thumb.jpg"));
    QImage picture(240, 70, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path));

    QWidget item;
    auto* label = new QLabel(&item);
    label->setFixedSize(120, 70);
    auto* loader = ShownPixmapLoader::attach(label, path);
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(ShownPixmapLoader::of(label), loader);
    EXPECT_TRUE(label->pixmap().isNull()) << "nothing read before the label is shown";

    item.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&item));
    ASSERT_FALSE(label->pixmap().isNull());
    EXPECT_EQ(label->pixmap().size(), QSize(120, 35)) << "scaled into the label, aspect kept";
    const QColor middle = label->pixmap().toImage().pixelColor(60, 17);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 60);

    item.hide();
    EXPECT_TRUE(label->pixmap().isNull());
    item.show();
    EXPECT_FALSE(label->pixmap().isNull());

    // A second attach replaces the first; a file that cannot be read leaves the label empty.
    auto* broken = ShownPixmapLoader::attach(label, folder.filePath(QStringLiteral("missing.jpg")));
    EXPECT_EQ(ShownPixmapLoader::of(label), broken);
    EXPECT_EQ(label->findChildren<ShownPixmapLoader*>().size(), 1);
    EXPECT_TRUE(label->pixmap().isNull());
    EXPECT_FALSE(broken->load());
}

}  // namespace
}  // namespace tolvex
