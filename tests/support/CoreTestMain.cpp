// Test programs without a display that still need QtCore's application object: an event
// loop for posted results and task messages, the executable's folder, the settings.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
