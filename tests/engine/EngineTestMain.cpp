// The engine's job tests need an event loop for the task messages.

#include "app/ConsoleLog.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#if defined(__SANITIZE_THREAD__)
// Qt is not built with ThreadSanitizer: the copies and allocations it makes inside its own
// locks (the posted-event list) look unguarded to it. Our own code stays fully checked.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libQt6Core.so.6\n";
}
#endif

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The engine's diagnostics would drown the test report.
    tolvex::SetConsoleTarget(tolvex::ConsoleTarget::Silent);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
