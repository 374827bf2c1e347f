#pragma once

// Test programs that draw through SDL into a Qt window. SDL adopts a window only through
// X11, so they run on the xcb platform (under Xvfb when there is no display), and their
// sound goes to SDL's dummy device, never to the machine's speakers. Listing the tests
// (CTest's discovery) needs no display.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace tolvex::test {

// Runs the program's tests on X11; `prepare` runs once the application object exists.
inline int RunTestsOnX11(int argc, char** argv, const std::function<void()>& prepare = {})
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
    QApplication app(argc, argv);
    if (prepare)
        prepare();
    return RUN_ALL_TESTS();
}

}  // namespace tolvex::test
