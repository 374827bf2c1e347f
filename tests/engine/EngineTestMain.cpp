// The engine's job tests need an event loop for the task messages.

#include "app/ConsoleLog.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The engine's diagnostics would drown the test report.
    tolvex::SetConsoleTarget(tolvex::ConsoleTarget::Silent);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
