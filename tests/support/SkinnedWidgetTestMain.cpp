// Tests of skinned windows and boxes share one QApplication, one private HOME (the settings
// file is process-wide), the program's skin folder and enabled shadows. Qt's offscreen
// platform unless the environment chooses one. Programs using it add tests/app/TestEnv.cpp
// and define TOLVEX_SKIN_DIR.

#include "tests/app/TestEnv.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tolvex::test::ScopedHome home;
    QApplication app(argc, argv);
    tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    tolvex::CWndShadow::RegisterShadowClass();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
