// tolvex-player-demo FILE: plays one file in a small window with the preview player.

#include "player/demo/PlayerDemoWindow.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    // The player draws through SDL's X11 driver into the window's native video area.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    tolvex::PlayerDemoWindow window;
    window.show();
    if (!window.open(argv[1])) {
        std::fprintf(stderr, "cannot play %s\n", argv[1]);
        return 1;
    }
    return app.exec();
}
