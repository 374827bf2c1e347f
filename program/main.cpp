#include "program/Program.h"

#ifdef TOLVEX_DEFERRED_LIBRARIES
#include "program/DeferredLibraries.h"
#endif

extern "C" {
#include <libavformat/avformat.h>
}

#include <atomic>

int main(int argc, char** argv)
{
    // FFmpeg's network set-up, once the window is shown; undone at exit if it was done.
    std::atomic<bool> networkUp{false};
    const auto setUpNetwork = [&networkUp] {
        avformat_network_init();
        networkUp = true;
    };
    int exitCode = 0;
    {
#ifdef TOLVEX_DEFERRED_LIBRARIES
        // FFmpeg, SDL and curl are opened once the window is shown, not before its first paint.
        tolvex::DeferredLibraries libraries;
        exitCode = tolvex::RunProgram(
            argc, argv, [&] { libraries.openInBackground(setUpNetwork); }, [&] { libraries.wait(); });
#else
        exitCode = tolvex::RunProgram(argc, argv, setUpNetwork);
#endif
    }
    if (networkUp)
        avformat_network_deinit();
    return exitCode;
}
