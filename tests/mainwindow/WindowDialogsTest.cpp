// The parameter dialog, the tray menu, the job input source's questions from a worker
// thread, and quitting the program from the tray menu.

#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/ParamSettingDialog.h"
#include "ui/main/WindowJobInputSource.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QSlider>
#include <QTest>

#include <chrono>
#include <future>
#include <thread>

namespace tolvex::test {
namespace {

// A window that keeps the numbers (and parameter records) posted to it.
class Recorder : public QWidget {
public:
    std::vector<int> numbers;
    std::vector<OutputParams> params;

protected:
    bool event(QEvent* event) override
    {
        if (auto* message = dynamic_cast<MessageEvent*>(event)) {
            numbers.push_back(message->number());
            if (auto* record = message->recordAs<OutputParamsRecord>())
                params.push_back(record->params);
            return true;
        }
        return QWidget::event(event);
    }
};

class ParamDialogTest : public ::testing::Test {
protected:
    // Creates the dialog (not run modally: the test plays the user).
    ParamSettingDialog* Open(const std::string& format, std::optional<OutputParams> stored = std::nullopt)
    {
        auto* dialog = new ParamSettingDialog(&m_owner, 7, format, std::move(stored));
        EXPECT_TRUE(dialog->Create(&m_owner, QString(), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE));
        m_dialog = dialog;
        return dialog;
    }
    QStringList shown(ParamSettingDialog* dialog)
    {
        QStringList texts;
        for (int i = 0; i < kParamListCount; ++i)
            texts << dialog->list(static_cast<ParamList>(i))->currentText();
        return texts;
    }
    // Confirm and cancel both close the dialog; what it posted reaches the owner here.
    void click(ParamSettingDialog* dialog, const char* name)
    {
        QPointer<ParamSettingDialog> guard(dialog);
        dialog->findControlAs<QAbstractButton>(QString::fromLatin1(name))->click();
        EXPECT_TRUE(WaitFor([&] { return guard.isNull(); }, 5000)) << name << " closes the dialog";
        QCoreApplication::sendPostedEvents(&m_owner);
    }
    void TearDown() override
    {
        if (m_dialog && !m_dialog->isClosed())
            m_dialog->Close(0);
        EXPECT_TRUE(WaitFor([this] { return m_dialog.isNull(); }, 5000)) << "the dialog deletes itself";
    }

    Recorder m_owner;
    QPointer<ParamSettingDialog> m_dialog;
};

TEST_F(ParamDialogTest, OpensAtTheFormatsDefaultsAndConfirmsThem)
{
    ParamSettingDialog* dialog = Open("mp4");
    EXPECT_EQ(shown(dialog),
              (QStringList{QStringLiteral("H.264"), QStringLiteral("自动"), QStringLiteral("AAC"),
                           QStringLiteral("44100Hz"), QStringLiteral("自动"), QStringLiteral("立体声")}));
    EXPECT_EQ(dialog->list(ParamList::SampleRate)->count(), 7);
    click(dialog, "confirm-btn");
    ASSERT_EQ(m_owner.params.size(), 1u);
    const OutputParams& p = m_owner.params.front();
    EXPECT_EQ(p.taskId, 7);
    EXPECT_EQ(p.videoCodec, "h264");
    EXPECT_EQ(p.audioCodec, "aac");
    EXPECT_EQ(p.sampleRate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.videoBitRate, 0);
    EXPECT_EQ(p.audioBitRate, 0);
    EXPECT_EQ(m_owner.numbers, std::vector<int>{WM_OUTPUT_PARAMS});
}

TEST_F(ParamDialogTest, NarrowFormatsAndHighBitRates)
{
    ParamSettingDialog* dialog = Open("3gp");
    EXPECT_EQ(dialog->list(ParamList::SampleRate)->count(), 1);
    EXPECT_EQ(dialog->list(ParamList::Channels)->count(), 1);
    click(dialog, "confirm-btn");
    ASSERT_EQ(m_owner.params.size(), 1u);
    EXPECT_EQ(m_owner.params[0].sampleRate, 8000);
    EXPECT_EQ(m_owner.params[0].channels, 1);

    dialog = Open("wmv");
    dialog->list(ParamList::VideoBitRate)->setCurrentText(QStringLiteral("12.0Mbps"));
    click(dialog, "confirm-btn");
    ASSERT_EQ(m_owner.params.size(), 2u);
    EXPECT_EQ(m_owner.params[1].videoBitRate, 12000000);
    EXPECT_EQ(m_owner.params[1].videoBitRateIndex, 12);

    // A format without entries: empty lists, empty names, -1 positions.
    dialog = Open("xyz");
    click(dialog, "confirm-btn");
    ASSERT_EQ(m_owner.params.size(), 3u);
    EXPECT_EQ(m_owner.params[2].videoCodec, "");
    EXPECT_EQ(m_owner.params[2].videoCodecIndex, -1);
    EXPECT_EQ(m_owner.params[2].channelsIndex, -1);
}

TEST_F(ParamDialogTest, ReopeningRestoresStoredPositionsAndCancelPostsNothing)
{
    OutputParams stored;
    stored.taskId = 7;
    stored.videoCodecIndex = 0;
    stored.videoBitRateIndex = 3;
    stored.audioCodecIndex = 0;
    stored.sampleRateIndex = 1;
    stored.audioBitRateIndex = 4;
    stored.channelsIndex = 0;
    ParamSettingDialog* dialog = Open("mp4", stored);
    EXPECT_EQ(shown(dialog),
              (QStringList{QStringLiteral("H.264"), QStringLiteral("256kbps"), QStringLiteral("AAC"),
                           QStringLiteral("16000Hz"), QStringLiteral("320kbps"), QStringLiteral("单声道")}));
    click(dialog, "cancel-btn");
    EXPECT_TRUE(m_owner.numbers.empty());
}

TEST(TrayMenu, OpensAboveRightOfTheCursorAndPostsTheChosenEntry)
{
    EXPECT_EQ(CMainTaskMenu::menuPosition(QPoint(100, 10), 226), QPoint(106, -222)) << "not clamped to the screen";
    EXPECT_EQ(CMainTaskMenu::messageOfItem(QStringLiteral("main_menu_item_quit")), WM_APP_QUIT);
    EXPECT_EQ(CMainTaskMenu::messageOfItem(QStringLiteral("main_menu_item_upgrade")), WM_CHECK_UPGRADE);
    EXPECT_EQ(CMainTaskMenu::messageOfItem(QStringLiteral("nothing")), 0);

    Recorder owner;
    QPointer<CMainTaskMenu> menu = CMainTaskMenu::Open(&owner, QPoint(500, 600));
    ASSERT_TRUE(menu);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    EXPECT_EQ(menu->pos(), QPoint(506, 600 - menu->height() - 6));
    EXPECT_TRUE(menu->isVisible());
    menu->findControlAs<QAbstractButton>(QStringLiteral("main_menu_item_seting"))->click();
    EXPECT_TRUE(WaitFor([&] { return menu.isNull() && !owner.numbers.empty(); }, 5000))
        << "the menu closed and deleted itself";
    EXPECT_EQ(owner.numbers, std::vector<int>{WM_OPEN_SETTINGS});

    // A press outside the menu closes it without posting anything.
    menu = CMainTaskMenu::Open(&owner, QPoint(500, 600));
    ASSERT_TRUE(menu);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::mousePress(menu, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_TRUE(WaitFor([&] { return menu.isNull(); }, 5000));
    QCoreApplication::sendPostedEvents(&owner);  // anything it had posted is delivered now
    EXPECT_EQ(owner.numbers.size(), 1u);
}

using JobInputSourceTest = WindowTest;

// Swallows the queued calls that arrive for an object while it lives, and counts them.
class HeldCalls : public QObject {
public:
    explicit HeldCalls(QObject* target) : m_target(target) { m_target->installEventFilter(this); }
    ~HeldCalls() override { m_target->removeEventFilter(this); }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_target || event->type() != QEvent::MetaCall)
            return false;
        ++m_count;
        return true;
    }

private:
    QObject* m_target;
    int m_count = 0;
};

TEST_F(JobInputSourceTest, WorkerQuestionsAreAnsweredOnTheUiThreadAndShutdownReleasesThem)
{
    window().findControlAs<QSlider>(QStringLiteral("video-mute-slider"))->setValue(-5);
    WindowJobInputSource source(&window());
    auto asked = std::async(std::launch::async, [&] { return source.muteSettings(); });
    ASSERT_TRUE(WaitFor([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000));
    EXPECT_EQ(asked.get().volumeDb, -5);

    auto item = std::async(std::launch::async, [&] { return source.convertSettings(12345); });
    ASSERT_TRUE(WaitFor([&] { return item.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000));
    EXPECT_FALSE(item.get().has_value()) << "no such item";

    // The UI thread does not answer (it is busy stopping; here the question is held back
    // when it arrives): shutdown ends the wait.
    HeldCalls held(&window());
    auto waiting = std::async(std::launch::async, [&] { return source.extractSettings(); });
    // The question reached the UI thread, so the worker is waiting for the answer now.
    ASSERT_TRUE(WaitFor([&] { return held.count() > 0; }, 5000));
    EXPECT_EQ(waiting.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    source.shutdown();
    EXPECT_EQ(waiting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(waiting.get().format.isEmpty());
}

}  // namespace
}  // namespace tolvex::test
