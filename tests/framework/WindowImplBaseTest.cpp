// The skinned-window base: skin loading, control lookup, notification routing, modal
// result, posted messages and the method guard.

#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/SkinResources.h"
#include "ui/framework/WindowImplBase.h"
#include "ui/framework/WindowMethodError.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tolvex {
namespace {

class TestPaintView : public QWidget {
public:
    using QWidget::QWidget;
};

struct TrackedRecord : MessageRecord {
    explicit TrackedRecord(std::atomic<int>* destroyed) : m_destroyed(destroyed) {}
    ~TrackedRecord() override { ++*m_destroyed; }
    std::atomic<int>* m_destroyed;
    int payload = 0;
};

class TestWindow : public WindowImplBase {
    Q_OBJECT

public:
    QString skin = QStringLiteral("TestWindow.xml");
    bool throwInSkinFile = false;
    bool throwInInit = false;
    bool deleteOnFinal = false;
    int* finalCount = nullptr;
    int initCount = 0;
    int destroyCount = 0;
    std::vector<std::pair<QString, QString>> notes;
    std::vector<intptr_t> noteParams;
    std::function<void(TNotifyUI&)> onNotify;
    int lastMessage = 0;
    int lastPayload = 0;
    bool messageOnUiThread = false;

protected:
    QString GetSkinFile() override
    {
        if (throwInSkinFile)
            throw std::runtime_error("no skin");
        return skin;
    }
    QString getWindowClassName() const override { return QStringLiteral("TestWindowClass"); }
    void InitWindow() override
    {
        if (throwInInit)
            throw 42;
        ++initCount;
    }
    void Notify(TNotifyUI& msg) override
    {
        notes.emplace_back(msg.type, msg.senderName());
        noteParams.push_back(msg.wParam);
        if (onNotify)
            onNotify(msg);
        WindowImplBase::Notify(msg);
    }
    bool HandleCustomMessage(MessageEvent& message) override
    {
        lastMessage = message.number();
        messageOnUiThread = QThread::currentThread() == qApp->thread();
        if (auto* record = message.recordAs<TrackedRecord>())
            lastPayload = record->payload;
        return true;
    }
    QWidget* createControl(const QString& className, QWidget* parent) override
    {
        if (className == QLatin1String("TestPaintView"))
            return new TestPaintView(parent);
        return nullptr;
    }
    void onDestroy() override { ++destroyCount; }
    void OnFinalMessage() override
    {
        if (finalCount)
            ++*finalCount;
        if (deleteOnFinal)
            delete this;
    }
};

class WindowImplBaseTest : public ::testing::Test {
protected:
    void SetUp() override { SkinResources::setSkinFolder(QStringLiteral(TOLVEX_TEST_SKIN_DIR)); }
    void TearDown() override
    {
        SkinResources::setSkinFolder({});
        QCoreApplication::processEvents();
    }
};

TEST_F(WindowImplBaseTest, BuildsFromSkinAndFindsControlsByName)
{
    TestWindow window;
    ASSERT_TRUE(window.Create(nullptr, QStringLiteral("标题"), WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(window.initCount, 1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("标题"));
    EXPECT_EQ(window.className(), QStringLiteral("TestWindow"));
    EXPECT_EQ(window.size(), QSize(420, 320));
    // The skin names a caption band: the window draws its own frame.
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);

    auto* ok = window.findControlAs<QPushButton>(QStringLiteral("ok-btn"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(window.FindControl(QStringLiteral("no-such-control")), nullptr);
    EXPECT_EQ(window.FindControl(QString()), nullptr);

    // Sub-control search stays inside its container.
    QWidget* panel = window.FindControl(QStringLiteral("panel"));
    QWidget* header = window.FindControl(QStringLiteral("header"));
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(header, nullptr);
    EXPECT_NE(FindSubControl(panel, QStringLiteral("inner-label")), nullptr);
    EXPECT_EQ(FindSubControl(header, QStringLiteral("inner-label")), nullptr);
    EXPECT_EQ(FindSubControl(panel, QStringLiteral("panel")), panel);
    EXPECT_EQ(FindSubControl(nullptr, QStringLiteral("panel")), nullptr);

    // The builder callback made the program's own control; the framework made the list.
    EXPECT_NE(dynamic_cast<TestPaintView*>(window.FindControl(QStringLiteral("paint-view"))), nullptr);
    auto* list = window.findControlAs<CListUI>(QStringLiteral("test-list"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->emptyText(), QStringLiteral("列表为空"));
}

TEST_F(WindowImplBaseTest, MissingSkinFileFailsCreate)
{
    TestWindow window;
    window.skin = QStringLiteral("NoSuchWindow.xml");
    EXPECT_FALSE(window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(window.initCount, 0);
}

TEST_F(WindowImplBaseTest, GuardTurnsExceptionsIntoClassAndMethodText)
{
    {
        TestWindow window;
        window.throwInInit = true;
        try {
            window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW);
            FAIL() << "Create did not throw";
        } catch (const WindowMethodError& error) {
            EXPECT_STREQ(error.what(), "TestWindow::Init");
        }
    }
    {
        TestWindow window;
        window.throwInSkinFile = true;
        try {
            window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW);
            FAIL() << "Create did not throw";
        } catch (const WindowMethodError& error) {
            EXPECT_STREQ(error.what(), "TestWindow::GetSkinFile");
        }
    }
    // An inner window's guarded text is replaced by the outer operation's.
    try {
        GuardWindowMethod("CMainWnd", "Init", [] { GuardWindowMethod("FeedbackDialog", "Init", [] { throw 1; }); });
        FAIL() << "no exception";
    } catch (const WindowMethodError& error) {
        EXPECT_STREQ(error.what(), "CMainWnd::Init");
    }
    EXPECT_EQ(GuardWindowMethod("X", "Y", [] { return 5; }), 5);
}

TEST_F(WindowImplBaseTest, OneNotificationPerUserAction)
{
    TestWindow window;
    ASSERT_TRUE(window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW));
    window.ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(window.FindControl(QStringLiteral("ok-btn")), Qt::LeftButton);
    ASSERT_EQ(window.notes.size(), 1u);
    EXPECT_EQ(window.notes[0], std::make_pair(QStringLiteral("click"), QStringLiteral("ok-btn")));

    // Selecting an option: one click and one selectchanged, none for the option let go.
    window.notes.clear();
    QTest::mouseClick(window.FindControl(QStringLiteral("option-b")), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(std::count(window.notes.begin(), window.notes.end(),
                         std::make_pair(QStringLiteral("selectchanged"), QStringLiteral("option-b"))),
              1);
    EXPECT_EQ(std::count(window.notes.begin(), window.notes.end(),
                         std::make_pair(QStringLiteral("click"), QStringLiteral("option-b"))),
              1);
    EXPECT_EQ(window.notes.size(), 2u);

    // A check box reports both directions.
    window.notes.clear();
    auto* check = window.findControlAs<QCheckBox>(QStringLiteral("check"));
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(std::count(window.notes.begin(), window.notes.end(),
                         std::make_pair(QStringLiteral("selectchanged"), QStringLiteral("check"))),
              2);

    window.notes.clear();
    window.noteParams.clear();
    window.findControlAs<QSlider>(QStringLiteral("volume-slider"))->setValue(-5);
    ASSERT_EQ(window.notes.size(), 1u);
    EXPECT_EQ(window.notes[0], std::make_pair(QStringLiteral("valuechanged"), QStringLiteral("volume-slider")));
    EXPECT_EQ(window.noteParams[0], -5);

    window.notes.clear();
    window.noteParams.clear();
    window.findControlAs<QComboBox>(QStringLiteral("format-combo"))->setCurrentIndex(1);
    ASSERT_EQ(window.notes.size(), 1u);
    EXPECT_EQ(window.notes[0], std::make_pair(QStringLiteral("itemselect"), QStringLiteral("format-combo")));
    EXPECT_EQ(window.noteParams[0], 1);
}

TEST_F(WindowImplBaseTest, ListItemsFromSkinRouteTheirNotifications)
{
    TestWindow window;
    ASSERT_TRUE(window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW));
    auto* list = window.findControlAs<CListUI>(QStringLiteral("test-list"));
    for (int id = 0; id < 3; ++id) {
        QWidget* item = window.buildFromSkin(QStringLiteral("TestItem.xml"));
        ASSERT_NE(item, nullptr);
        item->setObjectName(QStringLiteral("item-%1").arg(id));
        SetControlTag(FindSubControl(item, QStringLiteral("item-remove-btn")), id);
        list->addItem(item);
    }
    window.resize(420, 600);
    window.ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The remove button of item 1 removes its own item while its click is handled.
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.type == QLatin1String("click") && msg.senderName() == QLatin1String("item-remove-btn")) {
            const qint64 id = ControlTag(msg.sender);
            list->removeItem(list->findItem(QStringLiteral("item-%1").arg(id)));
        }
    };
    QWidget* item1 = list->findItem(QStringLiteral("item-1"));
    QPointer<QWidget> removeButton = FindSubControl(item1, QStringLiteral("item-remove-btn"));
    QTest::mouseClick(removeButton, Qt::LeftButton);
    ASSERT_EQ(window.notes.size(), 1u);
    EXPECT_EQ(window.notes[0], std::make_pair(QStringLiteral("click"), QStringLiteral("item-remove-btn")));
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->findItem(QStringLiteral("item-1")), nullptr);
    EXPECT_EQ(window.FindControl(QStringLiteral("item-1")), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return removeButton.isNull(); }, 5000));

    // A click on an item's body selects it: itemselect then itemclick, with its index.
    window.notes.clear();
    window.noteParams.clear();
    QTest::mouseClick(list->findItem(QStringLiteral("item-2")), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(window.notes.size(), 2u);
    EXPECT_EQ(window.notes[0], std::make_pair(QStringLiteral("itemselect"), QStringLiteral("test-list")));
    EXPECT_EQ(window.notes[1], std::make_pair(QStringLiteral("itemclick"), QStringLiteral("test-list")));
    EXPECT_EQ(window.noteParams[0], 1);
    EXPECT_EQ(list->currentIndex(), 1);
}

TEST_F(WindowImplBaseTest, ShowModalReturnsTheValueGivenToClose)
{
    int finals = 0;
    auto* window = new TestWindow;
    window->deleteOnFinal = true;
    window->finalCount = &finals;
    ASSERT_TRUE(window->Create(nullptr, QString(), UI_WNDSTYLE_DIALOG));
    window->CenterWindow();
    QPointer<TestWindow> guard(window);
    QTimer::singleShot(30, window, [window] { window->Close(7); });
    EXPECT_EQ(window->ShowModal(), 7);
    EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }, 5000))
        << "the window deletes itself in its final message";
    EXPECT_EQ(finals, 1);

    // The skin's close button closes with the default value; the system close gives 0.
    TestWindow second;
    ASSERT_TRUE(second.Create(nullptr, QString(), UI_WNDSTYLE_DIALOG));
    QTimer::singleShot(
        30, &second, [&second] { QTest::mouseClick(second.FindControl(QStringLiteral("closebtn")), Qt::LeftButton); });
    EXPECT_EQ(second.ShowModal(), 1);
    EXPECT_EQ(second.destroyCount, 1);
    second.Close(9);  // closing twice changes nothing
    EXPECT_EQ(second.destroyCount, 1);

    TestWindow third;
    ASSERT_TRUE(third.Create(nullptr, QString(), UI_WNDSTYLE_DIALOG));
    QTimer::singleShot(30, &third, [&third] { third.close(); });
    EXPECT_EQ(third.ShowModal(), 0);
}

TEST_F(WindowImplBaseTest, VisibleStyleShowsFromTheEventLoop)
{
    TestWindow window;
    ASSERT_TRUE(window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isVisible(); }, 5000));

    // A window made after the hidden one shows by the same deferred step, so once it is
    // shown the hidden one has had its chance.
    TestWindow hidden;
    ASSERT_TRUE(hidden.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW));
    TestWindow later;
    ASSERT_TRUE(later.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    EXPECT_TRUE(QTest::qWaitFor([&] { return later.isVisible(); }, 5000));
    EXPECT_FALSE(hidden.isVisible());
}

TEST_F(WindowImplBaseTest, MessagePostedFromAnotherThreadReachesHandlerWithItsRecord)
{
    std::atomic<int> destroyed{0};
    TestWindow window;
    ASSERT_TRUE(window.Create(nullptr, QString(), WS_OVERLAPPEDWINDOW));
    std::thread poster([&] {
        auto record = std::make_unique<TrackedRecord>(&destroyed);
        record->payload = 4711;
        PostMessageTo(&window, 1354, std::move(record));
    });
    poster.join();
    EXPECT_EQ(window.lastMessage, 0) << "delivered by the event loop, not on the posting thread";
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.lastMessage != 0; }, 5000));
    EXPECT_EQ(window.lastMessage, 1354);
    EXPECT_EQ(window.lastPayload, 4711);
    EXPECT_TRUE(window.messageOnUiThread);
    EXPECT_EQ(destroyed.load(), 1) << "the record is freed with its event";

    // A message to a window that goes away before delivery is dropped with its record.
    {
        auto* doomed = new TestWindow;
        ASSERT_TRUE(doomed->Create(nullptr, QString(), WS_OVERLAPPEDWINDOW));
        std::thread([&] { PostMessageTo(doomed, 1355, std::make_unique<TrackedRecord>(&destroyed)); }).join();
        delete doomed;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return destroyed.load() == 2; }, 5000));
    EXPECT_EQ(destroyed.load(), 2);
}

TEST(WindowStyleTest, StylesMapToWindowFlags)
{
    const Qt::WindowFlags dialog = WindowFlagsForStyle(UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE, false);
    EXPECT_TRUE(dialog & Qt::WindowTitleHint);
    EXPECT_TRUE(dialog & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog & Qt::FramelessWindowHint);

    const Qt::WindowFlags main = WindowFlagsForStyle(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, false);
    EXPECT_TRUE(main & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(main & Qt::WindowMaximizeButtonHint);

    EXPECT_TRUE(WindowFlagsForStyle(WS_OVERLAPPEDWINDOW, 0, true) & Qt::FramelessWindowHint);
    EXPECT_TRUE(WindowFlagsForStyle(WS_POPUP, 0, false) & Qt::FramelessWindowHint);
    EXPECT_EQ(WindowFlagsForStyle(WS_POPUP, WS_EX_TOOLWINDOW, false) & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(UI_WNDSTYLE_DIALOG, 0x96C80000u);
}

}  // namespace
}  // namespace tolvex

#include "WindowImplBaseTest.moc"
