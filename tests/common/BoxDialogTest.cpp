// The message and prompt boxes: their answers, their look and their life, on a real event
// loop with real input events.

#include "tests/support/EventLoopWait.h"
#include "ui/common/MessageBoxDialog.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PromptBoxDialog.h"
#include "ui/common/ShadowWindow.h"
#include "ui/framework/SkinResources.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace tolvex {
namespace {

// The box currently shown, if any.
BoxDialogBase* VisibleBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<BoxDialogBase*>(widget); box && box->isVisible() && !box->isClosed())
            return box;
    }
    return nullptr;
}

// Runs `action` on the box as soon as one is shown (polled from the event loop, so it works
// from inside the box's modal loop), and again every second while that box stays open: on a
// loaded machine a click can reach a box that is not yet mapped and be lost. A box that never
// shows within a minute is a failure; a box still open after a minute is closed with a failure,
// so a lost answer fails its test instead of blocking it for good.
void WhenBoxShows(std::function<void(BoxDialogBase*)> action)
{
    struct Poll {
        QElapsedTimer clock;
        QPointer<BoxDialogBase> box;
        qint64 lastAction = -1;
    };
    auto* timer = new QTimer(qApp);
    auto poll = std::make_shared<Poll>();
    poll->clock.start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, poll, action = std::move(action)] {
        const qint64 now = poll->clock.elapsed();
        if (poll->lastAction >= 0 && (!poll->box || poll->box->isClosed() || !poll->box->isVisible())) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (now > 60000) {
            ADD_FAILURE() << (poll->box ? "the box was not answered within a minute"
                                        : "no box was shown within a minute");
            if (poll->box)
                poll->box->close();
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!poll->box)
            poll->box = VisibleBox();
        if (poll->box && (poll->lastAction < 0 || now - poll->lastAction >= 1000)) {
            poll->lastAction = now;
            action(poll->box);
        }
    });
    timer->start(10);
}

void ClickControl(BoxDialogBase* box, const char* name)
{
    auto* button = box->findControlAs<QAbstractButton>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

class BoxDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_owner.setGeometry(200, 150, 800, 600);
        m_owner.show();
    }
    void TearDown() override
    {
        // Every box has run its final message and gone.
        EXPECT_TRUE(test::WaitFor([] { return VisibleBox() == nullptr; }, 5000));
    }

    QWidget m_owner;
};

TEST_F(BoxDialogTest, MessageBoxAnswersOneOnlyForConfirm)
{
    WhenBoxShows([](BoxDialogBase* box) { ClickControl(box, "msgConfirm"); });
    EXPECT_EQ(ShowMessageBox(&m_owner, QStringLiteral("确定要删除吗?")), 1);

    WhenBoxShows([](BoxDialogBase* box) { ClickControl(box, "msgCancel"); });
    EXPECT_EQ(ShowMessageBox(&m_owner, QStringLiteral("确定要删除吗?")), 0);

    // Escape never confirms; Enter presses the focused button.
    WhenBoxShows([](BoxDialogBase* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(ShowMessageBox(&m_owner, QStringLiteral("q")), 0);
    WhenBoxShows([](BoxDialogBase* box) {
        auto* cancel = box->findControlAs<QAbstractButton>(QStringLiteral("msgCancel"));
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
    });
    EXPECT_EQ(ShowMessageBox(&m_owner, QStringLiteral("q")), 0);
    WhenBoxShows([](BoxDialogBase* box) {
        auto* confirm = box->findControlAs<QAbstractButton>(QStringLiteral("msgConfirm"));
        confirm->setFocus();
        QTest::keyClick(confirm, Qt::Key_Enter);
    });
    EXPECT_EQ(ShowMessageBox(&m_owner, QStringLiteral("q")), 1);

    // Closed by the window manager: no answer is a no.
    WhenBoxShows([](BoxDialogBase* box) { box->close(); });
    EXPECT_EQ(ShowMessageBox(&m_owner, QStringLiteral("q")), 0);
}

TEST_F(BoxDialogTest, PromptBoxHasOnlyConfirm)
{
    bool hadCancel = true;
    WhenBoxShows([&hadCancel](BoxDialogBase* box) {
        hadCancel = box->FindControl(QStringLiteral("msgCancel")) != nullptr;
        ClickControl(box, "msgConfirm");
    });
    EXPECT_EQ(ShowPromptBox(&m_owner, QStringLiteral("请先添加文件!")), 1);
    EXPECT_FALSE(hadCancel);
}

TEST_F(BoxDialogTest, BoxIsCaptionlessCentredWithTextAndShadow)
{
    // Created the way callers create dialogs: a captioned pop-up owned by the caller.
    auto* box = new MessageBoxDialog(&m_owner, QStringLiteral("请先添加文件!"));
    ASSERT_TRUE(box->Create(&m_owner, QString(), UI_WNDSTYLE_DIALOG, WS_EX_WINDOWEDGE));
    box->CenterWindow();
    QPointer<MessageBoxDialog> alive(box);
    // The guard texts of the window methods are named after the box's own class.
    EXPECT_EQ(box->className(), QStringLiteral("MessageBoxDialog"));
    EXPECT_EQ(PromptBoxDialog(nullptr, QString()).className(), QStringLiteral("PromptBoxDialog"));

    struct Seen {
        bool frameless = false;
        QString className, text;
        QRect geometry, shadowGeometry;
        bool shadowVisible = false;
        QPoint ownerCentre, boxCentre;
        QRgb colour = 0;
    } seen;
    WhenBoxShows([&seen, this](BoxDialogBase* shown) {
        // The shadow window follows the box onto the screen.
        test::WaitFor(
            [shown] {
                ShadowWindow* shadow = shown->shadow().shadowWindow();
                return shadow && shadow->isVisible();
            },
            5000);
        seen.frameless = shown->windowFlags().testFlag(Qt::FramelessWindowHint);
        seen.className = shown->objectName();
        seen.text = shown->findControlAs<QLabel>(QStringLiteral("msgText"))->text();
        seen.geometry = shown->geometry();
        seen.boxCentre = shown->frameGeometry().center();
        seen.ownerCentre = m_owner.frameGeometry().center();
        seen.colour = shown->shadow().settings().colour;
        if (ShadowWindow* shadow = shown->shadow().shadowWindow()) {
            seen.shadowVisible = shadow->isVisible();
            seen.shadowGeometry = shadow->geometry();
        }
        ClickControl(shown, "msgConfirm");
    });
    EXPECT_EQ(box->ShowModal(), 1);

    EXPECT_TRUE(seen.frameless);
    EXPECT_EQ(seen.className, QStringLiteral("MessageBoxDialog"));
    EXPECT_EQ(seen.text, QStringLiteral("请先添加文件!"));
    EXPECT_LE((seen.boxCentre - seen.ownerCentre).manhattanLength(), 2);
    EXPECT_TRUE(seen.shadowVisible);
    EXPECT_EQ(seen.shadowGeometry, seen.geometry.adjusted(-4, -4, 4, 4));
    EXPECT_EQ(seen.colour, qRgb(0x9E, 0x9D, 0x9D));

    // The box deletes itself after its final message.
    EXPECT_TRUE(test::WaitFor([&] { return alive.isNull(); }, 5000));
}

TEST_F(BoxDialogTest, ALongTextGrowsTheBoxAndALongFileNameIsShortenedInItsMiddle)
{
    const QString text = QStringLiteral("无法在临时文件夹中生成以下文件的缩略图，文件未添加:");
    const QString longName = QString(82, QChar(0x89C6)) + QStringLiteral("-结尾.mp4");
    struct Seen {
        QSize size;
        QString shown, tip;
        bool wholeTextFits = false;
    } seen;
    WhenBoxShows([&](BoxDialogBase* box) {
        auto* label = box->findControlAs<QLabel>(QStringLiteral("msgText"));
        seen.size = box->size();
        seen.shown = label->text();
        seen.tip = label->toolTip();
        // Every line of the wrapped text has room: nothing is cut at the top or bottom.
        seen.wholeTextFits = label->heightForWidth(label->width()) <= label->height();
        if (const char* keep = std::getenv("TOLVEX_SHOT"))
            box->screen()->grabWindow(0).save(QString::fromLocal8Bit(keep));
        ClickControl(box, "msgConfirm");
    });
    EXPECT_EQ(ShowPromptBox(&m_owner, text, {QStringLiteral("a.mp4"), longName}), 1);

    EXPECT_GT(seen.size.width(), 380);
    EXPECT_LE(seen.size.width(), BoxDialogBase::kMaxTextWidth + 80);
    EXPECT_TRUE(seen.wholeTextFits);
    const QStringList lines = seen.shown.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << seen.shown.toStdString();
    EXPECT_EQ(lines[0], text);
    EXPECT_EQ(lines[1], QStringLiteral("a.mp4"));
    // The beginning and the end of the long name stay, its middle gives way.
    EXPECT_TRUE(lines[2].contains(QChar(0x2026))) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("结尾.mp4"))) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QChar(0x89C6)));
    EXPECT_EQ(seen.tip, QStringLiteral("a.mp4\n") + longName);
}

TEST_F(BoxDialogTest, OwnerDestroyedWhileTheBoxIsOpen)
{
    auto* owner = new QWidget;
    owner->setGeometry(100, 100, 400, 300);
    owner->show();
    WhenBoxShows([owner](BoxDialogBase*) { delete owner; });
    // The box goes with its owner; the call returns no instead of waiting or crashing.
    EXPECT_EQ(ShowMessageBox(owner, QStringLiteral("q")), 0);
}

TEST_F(BoxDialogTest, AskedFromAnotherThread)
{
    // A worker asks; the box runs on the UI thread and the worker gets the answer.
    WhenBoxShows([](BoxDialogBase* box) { ClickControl(box, "msgConfirm"); });
    std::atomic<int> answer{-1};
    std::thread worker([&answer, this] { answer = ShowMessageBox(&m_owner, QStringLiteral("发现新版本")); });
    test::WaitFor([&answer] { return answer.load() >= 0; }, 10000);
    worker.join();
    EXPECT_EQ(answer.load(), 1);
}

TEST_F(BoxDialogTest, MissingSkinAnswersNoWithoutShowing)
{
    QTemporaryDir empty;
    SkinResources::setSkinFolder(empty.path());
    const int message = ShowMessageBox(&m_owner, QStringLiteral("q"));
    const int prompt = ShowPromptBox(&m_owner, QStringLiteral("q"));
    SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    EXPECT_EQ(message, 0);
    EXPECT_EQ(prompt, 0);
}

TEST(BoxColourText, ReadsHashAndSixHexDigits)
{
    QRgb colour = 0;
    ASSERT_TRUE(BoxDialogBase::parseColourText(QStringLiteral("#9E9D9D"), &colour));
    EXPECT_EQ(colour, qRgb(0x9E, 0x9D, 0x9D));
    ASSERT_TRUE(BoxDialogBase::parseColourText(QStringLiteral("#0a0B0c"), &colour));
    EXPECT_EQ(colour, qRgb(0x0A, 0x0B, 0x0C));
    for (const char* bad : {"9E9D9D", "#9E9D9", "#9E9D9D0", "#GG0000", ""})
        EXPECT_FALSE(BoxDialogBase::parseColourText(QString::fromLatin1(bad), &colour)) << bad;
}

}  // namespace
}  // namespace tolvex
