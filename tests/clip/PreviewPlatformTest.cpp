#include "ui/clip/PreviewPlatform.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

// Restores the two variables the choice reads and writes.
class SavedEnvironment {
public:
    SavedEnvironment()
        : m_platform(qgetenv("QT_QPA_PLATFORM")),
          m_display(qgetenv("DISPLAY")),
          m_hadPlatform(qEnvironmentVariableIsSet("QT_QPA_PLATFORM")),
          m_hadDisplay(qEnvironmentVariableIsSet("DISPLAY"))
    {
    }
    ~SavedEnvironment()
    {
        m_hadPlatform ? qputenv("QT_QPA_PLATFORM", m_platform) : qunsetenv("QT_QPA_PLATFORM");
        m_hadDisplay ? qputenv("DISPLAY", m_display) : qunsetenv("DISPLAY");
    }

private:
    QByteArray m_platform;
    QByteArray m_display;
    bool m_hadPlatform;
    bool m_hadDisplay;
};

TEST(PreviewPlatformTest, AnXDisplayMeansXcbUnlessTheUserChose)
{
    SavedEnvironment saved;
    // A Wayland desktop with XWayland, nothing chosen: xcb.
    qunsetenv("QT_QPA_PLATFORM");
    qputenv("DISPLAY", ":0");
    EXPECT_TRUE(ChoosePreviewPlatform());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
    // The user's choice stands.
    qputenv("QT_QPA_PLATFORM", "wayland");
    EXPECT_FALSE(ChoosePreviewPlatform());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("wayland"));
    // No X display: nothing to switch to.
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(ChoosePreviewPlatform());
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
}

}  // namespace
}  // namespace tolvex
