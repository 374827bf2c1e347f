// The clip dialogs with the real player need an X display (SDL draws only into X11
// windows): run under Xvfb. One QApplication on xcb, a private HOME, the program's skins,
// sound to SDL's dummy device.

#include "tests/app/TestEnv.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0)
            return RUN_ALL_TESTS();
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "these tests need an X display (run them under xvfb-run)\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    tolvex::test::ScopedHome home;
    QApplication app(argc, argv);
    tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    tolvex::CWndShadow::RegisterShadowClass();
    return RUN_ALL_TESTS();
}
