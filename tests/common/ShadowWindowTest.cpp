// The shadow window on a real X server with a compositing manager: it follows its parent,
// shows on screen as a soft grey edge around it, and stays away when nothing composites.
//
// Needs DISPLAY (the ctest run provides Xvfb). The test starts xcompmgr itself when no
// compositing manager runs, and stops it at the end. With TOLVEX_BOX_SCREENSHOT set to a
// file path, the screen grab of the prompt box test is saved there.

#include "tests/support/EventLoopWait.h"
#include "ui/common/Compositing.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PromptBoxDialog.h"
#include "ui/common/ShadowWindow.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace tolvex {
namespace {

// What the window manager and the compositor do takes effect in their own time, which on a
// loaded machine can be seconds; the wait ends as soon as it has.
bool WaitFor(const std::function<bool()>& condition)
{
    return test::WaitFor(condition, 15000);
}

// A compositing manager for the duration of the tests, started only when none runs.
class Compositor {
public:
    bool ensureRunning()
    {
        if (IsCompositingActive())
            return true;
        const QString program = QStandardPaths::findExecutable(QStringLiteral("xcompmgr"));
        if (program.isEmpty())
            return false;
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(program, {});
        return m_process->waitForStarted(3000) && WaitFor([] { return IsCompositingActive(); });
    }

    // Stops the compositor this test started; false when it was not ours to stop.
    bool stop()
    {
        if (!m_process)
            return false;
        m_process->terminate();
        if (!m_process->waitForFinished(3000)) {
            m_process->kill();
            m_process->waitForFinished(3000);
        }
        m_process.reset();
        return WaitFor([] { return !IsCompositingActive(); });
    }

    ~Compositor() { stop(); }

private:
    std::unique_ptr<QProcess> m_process;
};

Compositor* g_compositor = nullptr;
bool g_registered = false;

// A plain frameless window painted in one colour.
class SolidWindow : public QWidget {
public:
    explicit SolidWindow(QColor colour, QWidget* parent = nullptr)
        : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_colour(colour)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

class ShadowWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!g_compositor || !g_compositor->ensureRunning())
            GTEST_SKIP() << "no compositing manager (xcompmgr) available";
        // A white backdrop, so that the shadow can be seen on the screen.
        m_backdrop = std::make_unique<SolidWindow>(Qt::white);
        m_backdrop->setGeometry(0, 0, 900, 700);
        m_backdrop->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_backdrop.get()));

        m_parent = new SolidWindow(QColor(0x30, 0x60, 0xC0));
        m_parent->setGeometry(200, 150, 300, 200);
    }

    void TearDown() override
    {
        delete m_parent.data();
        m_backdrop.reset();
    }

    QRect expectedShadowRect() const { return m_parent->geometry().adjusted(-4, -4, 4, 4); }

    void attachBoxShadow(CWndShadow& shadow)
    {
        shadow.AttachShadow(m_parent);
        shadow.SetShadowSize(4);
        shadow.SetShadowOffset(0, 0);
        shadow.SetShadowColour(qRgb(0x9E, 0x9D, 0x9D));
    }

    bool shadowShownAt(const CWndShadow& shadow, const QRect& where)
    {
        return WaitFor([&] {
            ShadowWindow* window = shadow.shadowWindow();
            return window && window->isVisible() && window->geometry() == where;
        });
    }

    std::unique_ptr<SolidWindow> m_backdrop;
    QPointer<SolidWindow> m_parent;
};

TEST_F(ShadowWindowTest, FollowsTheParentThroughShowMoveResizeAndHide)
{
    // Shadows were enabled once at start; a second registration is refused.
    EXPECT_TRUE(g_registered);
    EXPECT_FALSE(CWndShadow::RegisterShadowClass());

    CWndShadow shadow;
    attachBoxShadow(shadow);
    // Attached to a hidden parent: enabled, nothing shown yet.
    EXPECT_EQ(shadow.status(), CWndShadow::kEnabled);
    ASSERT_NE(shadow.shadowWindow(), nullptr);
    EXPECT_FALSE(shadow.shadowWindow()->isVisible());

    m_parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_parent.data()));
    EXPECT_TRUE(shadowShownAt(shadow, expectedShadowRect())) << "shown with the parent, 4 pixels around it";
    EXPECT_EQ(shadow.status(), CWndShadow::kEnabled | CWndShadow::kShadowVisible | CWndShadow::kParentVisible);
    // The shadow takes no input and no focus.
    EXPECT_TRUE(shadow.shadowWindow()->windowFlags().testFlag(Qt::WindowTransparentForInput));

    m_parent->move(260, 210);
    EXPECT_TRUE(WaitFor([&] { return m_parent->geometry().topLeft() == QPoint(260, 210); }));
    EXPECT_TRUE(shadowShownAt(shadow, expectedShadowRect())) << "follows a move";

    m_parent->resize(200, 120);
    EXPECT_TRUE(shadowShownAt(shadow, QRect(256, 206, 208, 128))) << "redrawn at once when shrinking";
    m_parent->resize(340, 260);
    EXPECT_TRUE(shadowShownAt(shadow, QRect(256, 206, 348, 268))) << "redrawn at the next paint when growing";
    EXPECT_EQ(shadow.shadowWindow()->picture().size(), QSize(348, 268));

    // Changing the settings of a visible shadow redraws it.
    EXPECT_TRUE(shadow.SetShadowOffset(3, 6));
    EXPECT_TRUE(shadowShownAt(shadow, QRect(259, 212, 348, 268)));
    EXPECT_FALSE(shadow.SetShadowOffset(0, -21));
    EXPECT_TRUE(shadowShownAt(shadow, QRect(259, 212, 348, 268))) << "a refused offset changes nothing";
    EXPECT_TRUE(shadow.SetShadowOffset(0, 0));

    m_parent->hide();
    EXPECT_TRUE(WaitFor([&] { return !shadow.shadowWindow()->isVisible(); })) << "hidden with the parent";
    EXPECT_EQ(shadow.status(), CWndShadow::kEnabled);
    m_parent->show();
    EXPECT_TRUE(shadowShownAt(shadow, expectedShadowRect())) << "shown again with the parent";
}

TEST_F(ShadowWindowTest, MaximisedParentHasNoShadowUntilRestored)
{
    CWndShadow shadow;
    attachBoxShadow(shadow);
    m_parent->show();
    ASSERT_TRUE(shadowShownAt(shadow, expectedShadowRect()));

    m_parent->showMaximized();
    EXPECT_TRUE(WaitFor([&] { return !shadow.shadowWindow()->isVisible(); }));
    EXPECT_FALSE(shadow.status() & CWndShadow::kShadowVisible);

    m_parent->showNormal();
    EXPECT_TRUE(WaitFor([&] { return shadow.shadowWindow()->isVisible(); })) << "restored: shadow again";
    EXPECT_TRUE(shadowShownAt(shadow, expectedShadowRect()));
}

TEST_F(ShadowWindowTest, ShadowGoesWithItsParent)
{
    auto shadow = std::make_unique<CWndShadow>();
    attachBoxShadow(*shadow);
    m_parent->show();
    ASSERT_TRUE(shadowShownAt(*shadow, expectedShadowRect()));
    QPointer<ShadowWindow> window(shadow->shadowWindow());

    delete m_parent.data();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(shadow->shadowWindow(), nullptr);
    // The orphaned shadow can still be changed and destroyed.
    EXPECT_TRUE(shadow->SetShadowSize(6));
    shadow.reset();

    // And a shadow destroyed before its parent takes its window with it.
    m_parent = new SolidWindow(Qt::darkGray);
    m_parent->setGeometry(200, 150, 300, 200);
    m_parent->show();
    shadow = std::make_unique<CWndShadow>();
    attachBoxShadow(*shadow);
    ASSERT_TRUE(shadowShownAt(*shadow, expectedShadowRect()));
    window = shadow->shadowWindow();
    shadow.reset();
    EXPECT_TRUE(window.isNull());
    // The move's events are handled with no shadow left to follow the window.
    m_parent->move(300, 300);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

TEST_F(ShadowWindowTest, ScreenShowsASoftGreyEdgeAroundThePromptBox)
{
    // The owner: a light window as the program's main window would be.
    delete m_parent.data();
    m_parent = new SolidWindow(QColor(0xEE, 0xF1, 0xF5));
    m_parent->setGeometry(120, 100, 640, 420);
    m_parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_parent.data()));

    QImage grab;
    QRect boxRect;
    bool shadowShown = false;
    QTimer::singleShot(0, [&] {
        WaitFor([&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<PromptBoxDialog*>(widget); box && box->isVisible()) {
                    ShadowWindow* shadow = box->shadow().shadowWindow();
                    if (shadow && shadow->isVisible() && shadow->geometry() == box->geometry().adjusted(-4, -4, 4, 4))
                        return true;
                }
            }
            return false;
        });
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<PromptBoxDialog*>(widget); box && box->isVisible()) {
                boxRect = box->geometry();
                shadowShown = box->shadow().shadowWindow() && box->shadow().shadowWindow()->isVisible();
                // The compositor paints in its own time: the screen is grabbed until the
                // pixel next to the box is darker than the owner further out and the box's
                // own white inside is on the screen.
                WaitFor([&] {
                    grab = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
                    const int y = boxRect.center().y();
                    const bool edge =
                        qGray(grab.pixel(boxRect.left() - 1, y)) < qGray(grab.pixel(boxRect.left() - 12, y)) - 10;
                    const bool inside = qGray(grab.pixel(boxRect.left() + 8, boxRect.bottom() - 4)) > 0xF8;
                    return edge && inside;
                });
                QTest::mouseClick(box->findControlAs<QAbstractButton>(QStringLiteral("msgConfirm")), Qt::LeftButton);
            }
        }
    });
    EXPECT_EQ(ShowPromptBox(m_parent, QStringLiteral("请先添加文件!")), 1);
    ASSERT_TRUE(shadowShown);
    ASSERT_FALSE(grab.isNull());

    const QByteArray savePath = qgetenv("TOLVEX_BOX_SCREENSHOT");
    if (!savePath.isEmpty())
        grab.copy(m_parent->geometry().adjusted(-20, -20, 20, 20)).save(QString::fromLocal8Bit(savePath));

    // Left of the box's middle row: the owner's colour far out, then four pixels that get
    // darker towards the box, then the box's own border.
    const int y = boxRect.center().y();
    const QRgb far = grab.pixel(boxRect.left() - 12, y);
    std::vector<int> levels;
    for (int x = boxRect.left() - 5; x < boxRect.left(); ++x)
        levels.push_back(qGray(grab.pixel(x, y)));
    EXPECT_EQ(levels[0], qGray(far)) << "nothing beyond the 4-pixel shadow";
    for (size_t i = 1; i < levels.size(); ++i)
        EXPECT_LT(levels[i], levels[i - 1]) << "pixel " << i << " of the soft edge";
    EXPECT_LT(levels.back(), qGray(far) - 10);
    // The box itself is not darkened: its white inside shows white.
    EXPECT_EQ(grab.pixel(boxRect.left() + 8, boxRect.bottom() - 4) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(ShadowWindowTest, NoShadowWithoutCompositing)
{
    if (!g_compositor->stop())
        GTEST_SKIP() << "the compositing manager is not this test's to stop";
    CWndShadow shadow;
    attachBoxShadow(shadow);
    m_parent->show();
    // Shown and exposed: a shadow would have been made by now.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_parent.data()));
    EXPECT_EQ(shadow.status(), 0);
    EXPECT_EQ(shadow.shadowWindow(), nullptr);
    EXPECT_TRUE(shadow.SetShadowSize(4));
    EXPECT_TRUE(g_compositor->ensureRunning());
}

}  // namespace
}  // namespace tolvex

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        fprintf(stderr, "the shadow window tests need an X display\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    tolvex::g_registered = tolvex::CWndShadow::RegisterShadowClass();
    int result = 0;
    {
        tolvex::Compositor compositor;
        tolvex::g_compositor = &compositor;
        result = RUN_ALL_TESTS();
        tolvex::g_compositor = nullptr;
    }
    return result;
}
