// The language tests share one QApplication, one private HOME and the skin folder the
// build puts beside the program, with the translations beside it. Qt's offscreen platform
// unless the environment chooses one.

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
    tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_BUILD_SKIN_DIR));
    tolvex::CWndShadow::RegisterShadowClass();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
