// Box tests share one QApplication, the program's skin folder and enabled shadows. They run
// on Qt's offscreen platform unless a platform is chosen by the environment.

#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tolvex::SkinResources::SetSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    tolvex::CWndShadow::RegisterShadowClass();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
