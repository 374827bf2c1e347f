// The skins' drop-down: it must look, size and open exactly like a QComboBox under the
// application's style sheet, while its pop-up is built only when first opened.

#include "ui/framework/SkinComboBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHBoxLayout>
#include <QTest>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

const QString kSheet = QStringLiteral(
    "QComboBox { font-size: 19px; padding: 4px 10px; border: 1px solid #d3dae6; min-height: 20px; }"
    "QComboBox QAbstractItemView { background: #ffffff; selection-background-color: #eaf1ff; }");

void Fill(QComboBox& box)
{
    box.addItems({QStringLiteral("mp4"), QStringLiteral("mkv"), QStringLiteral("a rather long format name")});
    box.setCurrentIndex(1);
}

// A shown window with a plain QComboBox and a SkinComboBox side by side, filled alike.
class SkinComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qApp->setStyleSheet(kSheet);
        auto* layout = new QHBoxLayout(&window);
        plain = new QComboBox(&window);
        skin = new SkinComboBox(&window);
        Fill(*plain);
        Fill(*skin);
        layout->addWidget(plain);
        layout->addWidget(skin);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    QWidget window;
    QComboBox* plain = nullptr;
    SkinComboBox* skin = nullptr;
};

TEST_F(SkinComboBoxTest, SizesAndOpensLikeAPlainComboBox)
{
    EXPECT_FALSE(skin->popupPrepared());
    EXPECT_EQ(skin->sizeHint(), plain->sizeHint());
    EXPECT_EQ(skin->minimumSizeHint(), plain->minimumSizeHint());
    EXPECT_EQ(skin->size(), plain->size());
    EXPECT_EQ(skin->font(), plain->font());

    plain->showPopup();
    skin->showPopup();
    EXPECT_TRUE(skin->popupPrepared());
    EXPECT_TRUE(skin->view()->isVisible());
    EXPECT_EQ(skin->view()->font(), plain->view()->font());
    EXPECT_EQ(skin->view()->palette().color(QPalette::Base), plain->view()->palette().color(QPalette::Base));
    EXPECT_EQ(skin->view()->currentIndex().row(), 1);
    EXPECT_STREQ(skin->itemDelegate()->metaObject()->className(), plain->itemDelegate()->metaObject()->className());
    EXPECT_EQ(skin->view()->parentWidget()->size(), plain->view()->parentWidget()->size());
    skin->hidePopup();
    plain->hidePopup();
    EXPECT_EQ(skin->currentText(), QStringLiteral("mkv"));
}

TEST_F(SkinComboBoxTest, LaterStyleChangesReachTheBox)
{
    // A change of look after the box was shown, before its pop-up was ever opened.
    const QString bigger = QStringLiteral("font-size: 30px; padding: 12px;");
    plain->setStyleSheet(bigger);
    skin->setStyleSheet(bigger);
    EXPECT_EQ(skin->sizeHint(), plain->sizeHint());
    EXPECT_GT(skin->sizeHint().height(), 40);
    skin->showPopup();
    plain->showPopup();
    EXPECT_EQ(skin->view()->font(), plain->view()->font());
    skin->hidePopup();
    plain->hidePopup();
}

}  // namespace
}  // namespace tolvex
