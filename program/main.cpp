#include "program/Program.h"

#ifdef TOLVEX_DEFERRED_LIBRARIES
#include "program/DeferredLibraries.h"
#endif

int main(int argc, char** argv)
{
#ifdef TOLVEX_DEFERRED_LIBRARIES
    // FFmpeg, SDL and curl are opened once the window is shown, not before the first paint.
    tolvex::DeferredLibraries libraries;
    return tolvex::RunProgram(argc, argv, [&libraries] { libraries.openInBackground(); });
#else
    return tolvex::RunProgram(argc, argv);
#endif
}
