// The main window frame: its controls, page switching, slider labels, busy start buttons,
// notification and message routing to handlers, and the shutdown clean-up.

#include "app/Folders.h"
#include "tests/app/TestEnv.h"
#include "tests/support/EventLoopWait.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/SkinResources.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/VolumeLabelHandler.h"
#include "ui/net/FeedbackDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace tolvex {
namespace {

struct ParamsRecord : MessageRecord {
    int taskId = 0;
};

class RecordingHandler : public MainWndHandler {
public:
    void attach(CMainWnd& window) override
    {
        window.routeNotify(QStringLiteral("click"), QStringLiteral("help"), this);
        window.routeNotify(QStringLiteral("click"), QStringLiteral("video-convert-btn"), this);
        window.routeMessage(WM_OUTPUT_PARAMS, this);
    }
    void onNotify(TNotifyUI& msg) override { notes.push_back(msg.type + QLatin1Char(':') + msg.senderName()); }
    bool onMessage(MessageEvent& message) override
    {
        if (auto* record = message.recordAs<ParamsRecord>())
            messageTaskIds.push_back(record->taskId);
        return true;
    }
    QStringList notes;
    std::vector<int> messageTaskIds;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
        m_window = new CMainWnd;
        ASSERT_TRUE(m_window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW));
        m_window->ShowWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window));
    }
    void TearDown() override
    {
        if (m_window && !m_window->isClosed())
            m_window->Close();
        EXPECT_TRUE(test::WaitFor([this] { return m_window.isNull(); }, 5000))
            << "the main window deletes itself after its final message";
        SkinResources::setSkinFolder({});
    }
    template <class T>
    T* control(const char* name)
    {
        auto* control = m_window->findControlAs<T>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    test::ScopedHome m_home;
    QPointer<CMainWnd> m_window;
};

TEST_F(MainWindowTest, HasEveryControlOfTheFrame)
{
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("TOLVEX视频转换"));
    EXPECT_EQ(m_window->property("windowClassName").toString(), QStringLiteral("Pellam视频转换"));
    EXPECT_EQ(m_window->property("TolvexVideoConverter").toInt(), 1);

    auto* tab = control<QStackedWidget>("main-tab");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->count(), kPageCount);

    const char* pages[] = {"convert", "split", "merge", "compress", "rotate", "gif", "extract", "mute", "music"};
    for (int i = 0; i < kPageCount; ++i) {
        const QString key = QString::fromLatin1(pages[i]);
        auto* list = control<CListUI>(("video-" + key.toStdString() + "-list").c_str());
        ASSERT_NE(list, nullptr);
        // Each list sits on its own page, in page order, and greets with a hint.
        EXPECT_TRUE(tab->widget(i)->isAncestorOf(list)) << key.toStdString();
        EXPECT_FALSE(list->emptyText().isEmpty());
        EXPECT_EQ(m_window->pageList(static_cast<PageKind>(i)), list);
        EXPECT_NE(m_window->pageSelector(static_cast<PageKind>(i)), nullptr);
        EXPECT_NE(m_window->startButton(static_cast<PageKind>(i)), nullptr);
        control<QAbstractButton>(("clear-" + key.toStdString() + "-list-btn").c_str());
    }

    for (const char* name : {"help",
                             "feedback",
                             "add-video-convert-btn",
                             "add-video-convert-folder-btn",
                             "add-convert-file",
                             "add-video-split-btn",
                             "add-video-gif-btn",
                             "add-video-merge-btn",
                             "add-video-merge-folder-btn",
                             "add-compress-file-btn",
                             "add-compress-folder-btn",
                             "add-video-rotate-btn",
                             "add-video-rotate-folder-btn",
                             "add-video-extract-btn",
                             "add-video-extract-folder-btn",
                             "add-video-mute-btn",
                             "add-video-mute-folder-btn",
                             "add-video-music-btn",
                             "add-video-music-folder-btn",
                             "add-bg-music-btn",
                             "output-choose-btn",
                             "output-open-btn",
                             "closebtn",
                             "minbtn",
                             "maxbtn"})
        control<QAbstractButton>(name);
    for (const char* name : {"merge-check-box-all", "video-mute", "bg-music-loop", "bg-music-replace"})
        control<QCheckBox>(name);
    for (const char* name : {"video-merge-format", "video-merge-ratio", "video-extract-format"}) {
        auto* box = control<QComboBox>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_GT(box->count(), 0) << name;
    }
    for (const char* name : {"video-mute-slider", "major-music-slider", "bg-music-slider"}) {
        auto* slider = control<QSlider>(name);
        ASSERT_NE(slider, nullptr);
        EXPECT_LT(slider->minimum(), 0);
        EXPECT_GT(slider->maximum(), 0);
    }
    for (const char* name :
         {"video-mute-label", "major-music-volume-label", "bg-music-volume-label", "video-merge-progress-label"})
        control<QLabel>(name);
    control<QProgressBar>("video-merge-progress");
    control<QLineEdit>("bg-music-edit");
    EXPECT_EQ(control<QComboBox>("video-merge-ratio")->itemText(0), QStringLiteral("自动"));

    auto* outputDir = control<QLineEdit>("output-dir-edit");
    ASSERT_NE(outputDir, nullptr);
    EXPECT_EQ(outputDir->text(), OutputFolder());
    EXPECT_TRUE(outputDir->text().startsWith(m_home.home()));
}

TEST_F(MainWindowTest, SelectingAPageShowsItAndOnlyItsStartButton)
{
    const char* idleTexts[] = {"开始转换", "一键裁剪", "一键合并", "一键压缩", "一键旋转",
                               "开始转换", "开始转换", "一键消音", "一键配乐"};
    for (int i = 0; i < kPageCount; ++i)
        EXPECT_EQ(m_window->startButton(static_cast<PageKind>(i))->text(), QString::fromUtf8(idleTexts[i]));

    auto visibleStarts = [this] {
        std::vector<int> shown;
        for (int i = 0; i < kPageCount; ++i) {
            if (m_window->startButton(static_cast<PageKind>(i))->isVisible())
                shown.push_back(i);
        }
        return shown;
    };
    EXPECT_EQ(m_window->currentPage(), PageKind::Convert);
    EXPECT_EQ(visibleStarts(), std::vector<int>{0});

    for (int page : {3, 8, 2, 0}) {
        QTest::mouseClick(m_window->pageSelector(static_cast<PageKind>(page)), Qt::LeftButton);
        EXPECT_EQ(m_window->mainTab()->currentIndex(), page);
        EXPECT_EQ(visibleStarts(), std::vector<int>{page});
    }
}

TEST_F(MainWindowTest, VolumeSlidersLabelTheirGain)
{
    EXPECT_EQ(FormatGainLabel(0), QStringLiteral("+0dB"));
    EXPECT_EQ(FormatGainLabel(-5), QStringLiteral("-5dB"));
    EXPECT_EQ(FormatGainLabel(12), QStringLiteral("+12dB"));

    const std::pair<const char*, const char*> pairs[] = {{"video-mute-slider", "video-mute-label"},
                                                         {"major-music-slider", "major-music-volume-label"},
                                                         {"bg-music-slider", "bg-music-volume-label"}};
    for (const auto& [sliderName, labelName] : pairs) {
        auto* slider = control<QSlider>(sliderName);
        auto* label = control<QLabel>(labelName);
        EXPECT_EQ(label->text(), QStringLiteral("+0dB"));
        slider->setValue(-5);
        EXPECT_EQ(label->text(), QStringLiteral("-5dB"));
        slider->setValue(7);
        EXPECT_EQ(label->text(), QStringLiteral("+7dB"));
        slider->setValue(0);
        EXPECT_EQ(label->text(), QStringLiteral("+0dB"));
    }
}

TEST_F(MainWindowTest, BusyStartButtonIgnoresTheMouseAndShowsItsBusyText)
{
    auto* handler = new RecordingHandler;
    m_window->addHandler(std::unique_ptr<MainWndHandler>(handler));
    QAbstractButton* start = m_window->startButton(PageKind::Convert);

    // Clicks through the window, where the mouse block applies.
    auto clickStart = [&] {
        const QPoint centre = start->mapTo(m_window, start->rect().center());
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, centre);
    };
    m_window->setPageBusy(PageKind::Convert, true);
    EXPECT_EQ(start->text(), QStringLiteral("转换中"));
    clickStart();
    EXPECT_TRUE(handler->notes.isEmpty());

    m_window->setPageBusy(PageKind::Convert, false);
    EXPECT_EQ(start->text(), QStringLiteral("开始转换"));
    clickStart();
    EXPECT_EQ(handler->notes, QStringList{QStringLiteral("click:video-convert-btn")});
}

TEST_F(MainWindowTest, RoutesNotificationsAndMessagesToTheirHandler)
{
    auto* handler = new RecordingHandler;
    m_window->addHandler(std::unique_ptr<MainWndHandler>(handler));

    QTest::mouseClick(m_window->FindControl(QStringLiteral("help")), Qt::LeftButton);
    // "feedback" stays with its own handler: it opens the feedback form, closed here (from a
    // timer while its modal loop runs, or after the click when an earlier window's quit
    // request ended that loop at once).
    bool formOpened = false;
    const auto closeForm = [&formOpened] {
        if (FeedbackDialog* form = FeedbackDialog::current(); form && !form->isClosed()) {
            formOpened = true;
            form->Close(0);
        }
    };
    QTimer::singleShot(50, m_window, closeForm);
    QTest::mouseClick(m_window->FindControl(QStringLiteral("feedback")), Qt::LeftButton);
    closeForm();
    EXPECT_TRUE(formOpened);
    EXPECT_EQ(handler->notes, QStringList{QStringLiteral("click:help")});

    std::thread([window = m_window.data()] {
        auto record = std::make_unique<ParamsRecord>();
        record->taskId = 17;
        PostMessageTo(window, WM_OUTPUT_PARAMS, std::move(record));
        PostMessageTo(window, WM_OPEN_SETTINGS);
    }).join();
    // Both messages are posted by now: delivering what is posted delivers them.
    QCoreApplication::sendPostedEvents(m_window);
    EXPECT_EQ(handler->messageTaskIds, std::vector<int>{17});
    EXPECT_FALSE(m_window->isClosed());

    EXPECT_EQ(m_window->newTaskId(), 0);
    EXPECT_EQ(m_window->newTaskId(), 1);
}

TEST_F(MainWindowTest, QuitMessageClosesAndCleansUp)
{
    const QString own = m_window->tempFolderPath();
    EXPECT_EQ(own, TempFolder() + QStringLiteral("/%1").arg(QCoreApplication::applicationPid()));
    // Another process's folder (pid 1 always runs) and a kept installer beside it.
    const QString other = TempFolder() + QStringLiteral("/1");
    QDir().mkpath(own + QStringLiteral("/sub"));
    QDir().mkpath(other);
    for (const QString& name : {own + "/a.jpg", own + "/sub/inner.jpg", other + "/pass.log",
                                TempFolder() + "/TolvexVideoConverterSetup.run"}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList steps;
    m_window->addShutdownStep([&] {
        steps << QStringLiteral("tray");
        EXPECT_TRUE(QFile::exists(own + QStringLiteral("/a.jpg"))) << "steps run before the temp folder goes";
    });
    m_window->addShutdownStep([&] { steps << QStringLiteral("jobs"); });

    PostMessageTo(m_window, WM_APP_QUIT);
    // The window deletes itself as the last step of quitting.
    EXPECT_TRUE(test::WaitFor([this] { return m_window.isNull(); }, 5000));
    EXPECT_EQ(steps, QStringList({QStringLiteral("tray"), QStringLiteral("jobs")}));
    EXPECT_FALSE(QFileInfo::exists(own)) << "its own temp folder is gone";
    EXPECT_TRUE(QFile::exists(other + QStringLiteral("/pass.log"))) << "another process's files stay";
    EXPECT_TRUE(QFile::exists(TempFolder() + QStringLiteral("/TolvexVideoConverterSetup.run")));
    QDir(other).removeRecursively();
    QFile::remove(TempFolder() + QStringLiteral("/TolvexVideoConverterSetup.run"));
}

}  // namespace
}  // namespace tolvex
