// The clip dialogs with the real player need an X display: run under Xvfb. A private HOME
// and the program's skins besides what every SDL-drawing test program sets up.

#include "tests/app/TestEnv.h"
#include "tests/support/X11TestRun.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

int main(int argc, char** argv)
{
    tolvex::test::ScopedHome home;
    return tolvex::test::RunTestsOnX11(argc, argv, [] {
        tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
        tolvex::CWndShadow::RegisterShadowClass();
    });
}
