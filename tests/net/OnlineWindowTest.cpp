// The online services in the real main window, driven by control names against the local
// service on 127.0.0.1: the tray's "检查更新", the update offer and the download dialog (the
// program ending through the window's quit once the installer is open, a job running or
// not; downloads that break the rules refused), the header's feedback button and the
// feedback form. Set TOLVEX_SCREENSHOT_DIR to keep pictures of the feedback form and of
// the download dialog at work.

#include "app/Folders.h"
#include "net/AccountStore.h"
#include "tasks/TaskEngine.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/net/NetTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/main/CMainTaskMenu.h"
#include "ui/main/OnlineServices.h"
#include "ui/main/PageTasks.h"
#include "ui/main/TrayIcon.h"
#include "ui/net/DownloadDialog.h"
#include "ui/net/FeedbackDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace tolvex {
namespace {

using test::Envelope;
using test::JsonAnswer;
using test::TextAnswer;
using test::UpgradeAnswer;
using test::WaitFor;

constexpr char kInstallerPath[] = "/files/TolvexVideoConverterSetup.run";

// Runs `act` on the first visible widget `find` gives, polling from the event loop (a modal
// loop may be running when it shows up).
void WhenShown(const std::function<QWidget*()>& find, const std::function<void(QWidget*)>& act, int timeoutMs = 60000)
{
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [find, act, deadline, poll] {
        if (QWidget* widget = find(); widget && widget->isVisible()) {
            *poll = nullptr;
            act(widget);
            return;
        }
        if (!deadline->hasExpired())
            QTimer::singleShot(20, *poll);
        else
            *poll = nullptr;
    };
    QTimer::singleShot(20, *poll);
}

// Presses `button` ("msgConfirm" or "msgCancel") of the next skinned box; its text lands
// in `text`.
void AnswerNextBoxWith(const QString& button, QString* text)
{
    WhenShown(
        [button]() -> QWidget* {
            for (QWidget* widget : QApplication::allWidgets()) {
                if (widget->objectName() == button && widget->isVisible())
                    return widget;
            }
            return nullptr;
        },
        [text](QWidget* pressed) {
            if (auto* label = pressed->window()->findChild<QLabel*>(QStringLiteral("msgText")))
                *text = label->text();
            qobject_cast<QAbstractButton*>(pressed)->click();
        });
}

// Answers the next `count` skinned boxes with their confirm buttons, one after the other
// (a box may open inside the modal loop of the one before); their texts land in the list.
std::shared_ptr<QStringList> AnswerBoxesInTurn(int count, int timeoutMs = 60000)
{
    auto texts = std::make_shared<QStringList>();
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [count, texts, deadline, poll] {
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* confirm = qobject_cast<QAbstractButton*>(widget);
            if (!confirm || confirm->objectName() != QLatin1String("msgConfirm") || !confirm->isVisible())
                continue;
            if (auto* label = confirm->window()->findChild<QLabel*>(QStringLiteral("msgText")))
                *texts << label->text();
            confirm->click();  // hides the box at once: the next round cannot see it again
            break;
        }
        if (texts->size() < count && !deadline->hasExpired())
            QTimer::singleShot(20, *poll);
        else
            *poll = nullptr;
    };
    QTimer::singleShot(20, *poll);
    return texts;
}

bool BoxOnScreen()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->objectName() == QLatin1String("msgConfirm") && widget->isVisible())
            return true;
    }
    return false;
}

void KeepScreenshot(QWidget* window, const char* name)
{
    const QString folder = qEnvironmentVariable("TOLVEX_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
}

// Installers left anywhere under Temp (the shared folder and every process's own).
QStringList InstallersInTemp()
{
    QStringList found;
    QDirIterator it(TempFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.contains(QLatin1String("Setup")))
            found << path;
    }
    return found;
}

// The SHA-256 of the generated body of `size` bytes the local service sends.
std::string GeneratedSha256(size_t size)
{
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[static_cast<qsizetype>(i)] = LocalService::GeneratedByte(i);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

// Stands in for the desktop's file opener; records what the download dialog showed when
// the installer was handed over.
class DesktopRecorder : public QObject {
    Q_OBJECT

public:
    DesktopRecorder()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    }
    ~DesktopRecorder() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    std::vector<QUrl> opened;
    QByteArray openedBytes;
    QString textAtOpen;
    int sliderAtOpen = -1;

public slots:
    void open(const QUrl& url)
    {
        opened.push_back(url);
        QFile file(url.toLocalFile());
        if (file.open(QIODevice::ReadOnly))
            openedBytes = file.readAll();
        if (DownloadDialog* dialog = DownloadDialog::current()) {
            textAtOpen = dialog->findControlAs<QLabel>(QStringLiteral("download-text"))->text();
            sliderAtOpen = dialog->findControlAs<QSlider>(QStringLiteral("download-slider"))->value();
        }
    }
};

class OnlineWindowTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_service.Start());
        m_answers["/v2/upgrade_check"] = UpgradeAnswer("1.4.0", m_service.BaseUrl() + kInstallerPath, 0);
        m_answers["/get_user_ip"] = JsonAnswer(Envelope(0, "203.0.113.20"));
        m_answers["/v2/feedback"] = JsonAnswer(Envelope(0));
        Json::Value installer(Json::objectValue);
        installer["size"] = kInstallerSize;
        installer["bytes_per_second"] = 400000;
        m_answers[kInstallerPath] = installer;
        beforeWindow();
        m_service.SetAnswers(m_answers);
        qputenv("TOLVEX_SERVICE_URL", QByteArray::fromStdString(m_service.BaseUrl()));
        test::WindowTest::SetUp();
    }
    void TearDown() override
    {
        test::WindowTest::TearDown();
        qunsetenv("TOLVEX_SERVICE_URL");
        QFile::remove(AccountFilePath());
        for (const QString& installer : InstallersInTemp())
            QFile::remove(installer);
        m_service.Stop();
    }
    // Changes to the answers or the stored files before the window starts its services.
    virtual void beforeWindow() {}

    OnlineServices& services() { return *window().handler<OnlineServices>(); }
    int requestsTo(const std::string& path) const
    {
        int count = 0;
        for (const Json::Value& request : m_service.Received())
            count += request["path"].asString() == path ? 1 : 0;
        return count;
    }
    void waitForStartUpServices()
    {
        ASSERT_TRUE(WaitFor([this] { return services().runningThreads() == 0; }, 30000));
        test::Pump(50);
    }
    void chooseTrayEntry(const QString& item)
    {
        PostMessageTo(&window(), WM_TRAY_CALLBACK, nullptr, TrayIcon::kIconId, TrayIcon::kRightButtonDown);
        TrayIcon* tray = window().handler<TrayIcon>();
        ASSERT_TRUE(WaitFor([tray] { return tray->openMenu() != nullptr; }, 10000));
        tray->openMenu()->findControlAs<QAbstractButton>(item)->click();
    }

    // Offers release `version` through the tray's "检查更新" and confirms the offer and the
    // `boxes` - 1 boxes after it; returns their texts, the offer's first.
    std::shared_ptr<QStringList> offerAndConfirm(const std::string& url, const std::string& sha256 = {}, int boxes = 1)
    {
        m_answers["/v2/upgrade_check"] = UpgradeAnswer("1.4.1", url, "0");
        if (!sha256.empty())
            m_answers["/v2/upgrade_check"]["json"]["data"]["sha256"] = sha256;
        m_service.SetAnswers(m_answers);
        auto texts = AnswerBoxesInTurn(boxes);
        chooseTrayEntry(QStringLiteral("main_menu_item_upgrade"));
        EXPECT_TRUE(WaitFor([&] { return !texts->isEmpty(); }, 30000));
        EXPECT_EQ(texts->value(0), QString::fromUtf8("发现新版本啦!"));
        return texts;
    }

    static constexpr int kInstallerSize = 600000;
    LocalService m_service;
    Json::Value m_answers{Json::objectValue};
    DesktopRecorder m_desktop;
};

TEST_F(OnlineWindowTest, TrayCheckAgainstAnUpToDateServiceSaysSoOnlyWhenAsked)
{
    waitForStartUpServices();
    EXPECT_EQ(requestsTo("/v2/upgrade_check"), 1) << "the start-up check asked";
    EXPECT_FALSE(BoxOnScreen()) << "the start-up check shows nothing";
    EXPECT_EQ(requestsTo("/get_user_ip"), 1);

    // A slow answer, to see the window while the check runs.
    m_answers["/v2/upgrade_check"]["delay_ms"] = 500;
    m_service.SetAnswers(m_answers);
    QString text;
    AnswerNextBoxWith(QStringLiteral("msgConfirm"), &text);
    chooseTrayEntry(QStringLiteral("main_menu_item_upgrade"));
    EXPECT_TRUE(WaitFor([this] { return services().checkRunning(); }, 10000));
    EXPECT_EQ(window().cursor().shape(), Qt::BusyCursor) << "the window shows the check at work";
    PostMessageTo(&window(), WM_CHECK_UPGRADE);  // a second request while one runs adds nothing
    ASSERT_TRUE(WaitFor([&] { return !text.isEmpty(); }, 30000));
    EXPECT_EQ(text, QString::fromUtf8("没有发现新版本!"));
    test::Pump(100);
    EXPECT_EQ(requestsTo("/v2/upgrade_check"), 2);
    EXPECT_FALSE(services().checkRunning());
    EXPECT_NE(window().cursor().shape(), Qt::BusyCursor);
}

TEST_F(OnlineWindowTest, TrayCheckOffersANewerReleaseAndTheDownloadReachesAHundredPercent)
{
    waitForStartUpServices();
    std::vector<QString> labels;
    bool pictured = false;
    // Follows the dialog's label while it downloads (and keeps a picture halfway).
    auto follow = std::make_shared<std::function<void()>>();
    *follow = [&, follow] {
        DownloadDialog* dialog = DownloadDialog::current();
        if (dialog && dialog->isVisible()) {
            const QString label = dialog->findControlAs<QLabel>(QStringLiteral("download-text"))->text();
            if (labels.empty() || labels.back() != label)
                labels.push_back(label);
            if (!pictured && dialog->lastPercent() >= 40) {
                pictured = true;
                KeepScreenshot(dialog, "download-dialog.png");
            }
        }
        if (m_desktop.opened.empty())
            QTimer::singleShot(10, *follow);
        else
            *follow = nullptr;
    };
    QTimer::singleShot(10, *follow);

    // A conversion runs while the installer comes in.
    addAndWait(PageKind::Convert, {test::Clip(QStringLiteral("long.mp4"), 30.0, 640, 480)});
    const TaskId id = idAt(PageKind::Convert, 0);
    window().startButton(PageKind::Convert)->click();
    TaskEngine& engine = tasks().engine();
    ASSERT_TRUE(WaitFor([&] { return engine.processOf(PageKind::Convert, id).has_value(); }));
    const pid_t ffmpeg = *engine.processOf(PageKind::Convert, id);
    ASSERT_TRUE(WaitFor([&] { return !outputFiles().isEmpty(); }, 20000));

    offerAndConfirm(m_service.BaseUrl() + kInstallerPath + "?from=test", GeneratedSha256(kInstallerSize));
    // The program ends the normal way: the window's quit, which stops the job.
    ASSERT_TRUE(WaitFor([&] { return windowGone(); }, 60000)) << "the program ends once the installer is open";
    EXPECT_EQ(m_desktop.textAtOpen, "100%");
    EXPECT_EQ(m_desktop.sliderAtOpen, 100);
    ASSERT_EQ(m_desktop.opened.size(), 1u);
    const QString kept = TempFolder() + "/TolvexVideoConverterSetup.run";
    EXPECT_EQ(m_desktop.opened[0].toLocalFile(), kept);
    EXPECT_EQ(m_desktop.openedBytes.size(), kInstallerSize);
    EXPECT_TRUE(QFile::exists(kept)) << "the installer outlives the program";
    EXPECT_GE(labels.size(), 3u) << "the label moved on while the file came in";
    EXPECT_TRUE(WaitFor([&] { return test::ProcessGone(ffmpeg); }, 10000));
    EXPECT_TRUE(outputFiles().isEmpty()) << "no partial file: " << outputFiles().join(' ').toStdString();
}

class ForcedUpdateTest : public OnlineWindowTest {
protected:
    void beforeWindow() override
    {
        m_answers["/v2/upgrade_check"] = UpgradeAnswer("2.0.0", m_service.BaseUrl() + kInstallerPath, 1);
        m_answers[kInstallerPath]["size"] = 4000000;
        m_answers[kInstallerPath]["bytes_per_second"] = 200000;
        // The prompt comes from the start-up check, which runs as soon as the window exists.
        AnswerNextBoxWith(QStringLiteral("msgConfirm"), &m_prompt);
        // The dialog runs modally inside whichever event loop takes the check's outcome
        // (maybe before the test body runs): it is cancelled from a timer once a little
        // has arrived.
        WhenShown(
            []() -> QWidget* {
                DownloadDialog* dialog = DownloadDialog::current();
                return dialog && dialog->lastPercent() >= 2 ? dialog : nullptr;
            },
            [this](QWidget* window) {
                auto* dialog = static_cast<DownloadDialog*>(window);
                m_percentAtCancel = dialog->lastPercent();
                dialog->findControlAs<QAbstractButton>(QStringLiteral("cancel"))->click();
            });
    }
    QString m_prompt;
    int m_percentAtCancel = -1;
};

TEST_F(ForcedUpdateTest, StartUpOffersAForcedReleaseAndCancellingEndsTheProgram)
{
    ASSERT_TRUE(WaitFor([&] { return windowGone(); }, 30000)) << "the window's quit ends the program";
    EXPECT_EQ(m_prompt, QString::fromUtf8("发现新版本啦!"));
    EXPECT_GE(m_percentAtCancel, 2);
    EXPECT_LT(m_percentAtCancel, 100);
    EXPECT_TRUE(m_desktop.opened.empty()) << "an unfinished installer is never opened";
    EXPECT_TRUE(InstallersInTemp().isEmpty()) << "nor kept";
}

TEST_F(OnlineWindowTest, DownloadsThatBreakTheRulesFailWithUpgradeFailed)
{
    waitForStartUpServices();
    // An https service beside the http one; the program trusts its certificate.
    QTemporaryDir certificates;
    const auto tls = test::MakeLoopbackCertificate(certificates.path());
    ASSERT_TRUE(tls.has_value()) << "openssl makes a certificate";
    qputenv("SSL_CERT_FILE", QByteArray::fromStdString(tls->certificate));
    LocalService secure;
    ASSERT_TRUE(secure.UseTls(tls->certificate, tls->key));
    Json::Value toHttp(Json::objectValue);
    toHttp["status"] = 302;
    toHttp["location"] = m_service.BaseUrl() + kInstallerPath;
    Json::Value secureAnswers(Json::objectValue);
    secureAnswers["/files/Setup.run"] = m_answers[kInstallerPath];
    secureAnswers["/moved/Setup.run"] = toHttp;
    secure.SetAnswers(secureAnswers);
    ASSERT_TRUE(secure.Start());
    Json::Value oversized(Json::objectValue);
    oversized["size"] = static_cast<Json::Int64>(3) << 30;
    m_answers["/files/Huge-Setup.run"] = oversized;

    const struct {
        std::string url;
        std::string sha256;
        const char* what;
    } cases[] = {
        {secure.BaseUrl() + "/moved/Setup.run", "", "https redirected to http"},
        {m_service.BaseUrl() + "/files/Huge-Setup.run", "", "3 GiB announced"},
        {m_service.BaseUrl() + kInstallerPath, std::string(64, 'a'), "another SHA-256"},
        {secure.BaseUrl() + "/files/Setup.run", "", "https all the way (opened)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool allowed = &c == &cases[std::size(cases) - 1];
        const auto texts = offerAndConfirm(c.url, c.sha256, allowed ? 1 : 2);
        if (allowed) {
            ASSERT_TRUE(WaitFor([&] { return windowGone(); }, 60000));
            ASSERT_EQ(m_desktop.opened.size(), 1u);
            EXPECT_EQ(m_desktop.openedBytes.size(), kInstallerSize);
            break;
        }
        ASSERT_TRUE(WaitFor([&] { return texts->size() == 2; }, 60000));
        EXPECT_EQ(texts->value(1), QString::fromUtf8("升级失败"));
        EXPECT_TRUE(WaitFor([] { return DownloadDialog::current() == nullptr; }, 10000));
        EXPECT_TRUE(m_desktop.opened.empty());
        EXPECT_FALSE(windowGone());
        EXPECT_TRUE(InstallersInTemp().isEmpty()) << InstallersInTemp().join(' ').toStdString();
    }
    qunsetenv("SSL_CERT_FILE");
    secure.Stop();
}

TEST_F(OnlineWindowTest, AnInstallerTheDesktopCannotOpenIsKeptAndItsPlaceTold)
{
    waitForStartUpServices();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    const auto texts = offerAndConfirm(m_service.BaseUrl() + kInstallerPath, {}, 2);
    ASSERT_TRUE(WaitFor([&] { return texts->size() == 2; }, 60000));
    const QString kept = TempFolder() + "/TolvexVideoConverterSetup.run";
    EXPECT_EQ(texts->value(1), QString::fromUtf8("安装包已下载到 %1，请手动打开").arg(kept));
    EXPECT_EQ(QFileInfo(kept).size(), kInstallerSize);
    test::Pump(200);
    EXPECT_FALSE(windowGone()) << "the program goes on";
}

TEST_F(OnlineWindowTest, DecliningAnOptionalReleaseDownloadsNothing)
{
    waitForStartUpServices();
    m_answers["/v2/upgrade_check"] = UpgradeAnswer("1.5.0", m_service.BaseUrl() + kInstallerPath, 0);
    m_service.SetAnswers(m_answers);
    QString offer;
    AnswerNextBoxWith(QStringLiteral("msgCancel"), &offer);
    chooseTrayEntry(QStringLiteral("main_menu_item_upgrade"));
    ASSERT_TRUE(WaitFor([&] { return !offer.isEmpty(); }, 30000));
    EXPECT_EQ(offer, QString::fromUtf8("发现新版本啦!"));
    test::Pump(300);
    EXPECT_EQ(DownloadDialog::current(), nullptr);
    EXPECT_EQ(requestsTo(kInstallerPath), 0);
}

class SignedInTest : public OnlineWindowTest {
protected:
    void beforeWindow() override
    {
        QFile file(AccountFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(R"({"mobile":"13800000000","wechat":""})");
    }
};

TEST_F(SignedInTest, HeaderFeedbackButtonSendsASignedInUsersFeedback)
{
    waitForStartUpServices();
    ASSERT_TRUE(services().account().isSignedIn());
    QString firstTip;
    QString sendingText;
    bool sendingLocked = false;
    QString result;
    WhenShown([]() -> QWidget* { return FeedbackDialog::current(); },
              [&](QWidget* window) {
                  auto* dialog = static_cast<FeedbackDialog*>(window);
                  auto* submit = dialog->findControlAs<QAbstractButton>(QStringLiteral("feedbackBtn"));
                  submit->click();
                  firstTip = dialog->findControlAs<QLabel>(QStringLiteral("feedbackErrorTips"))->text();
                  dialog->findControlAs<QPlainTextEdit>(QStringLiteral("feedbackContent"))
                      ->setPlainText(QString::fromUtf8("合并后的视频没有声音，希望能修复。"));
                  dialog->findControlAs<QLineEdit>(QStringLiteral("feedbackContact"))
                      ->setText(QString::fromUtf8("微信 tolvex_user"));
                  dialog->findControlAs<QLabel>(QStringLiteral("feedbackErrorTips"))->clear();
                  KeepScreenshot(dialog, "feedback-dialog.png");
                  submit->click();
                  sendingText = submit->text();
                  sendingLocked = !submit->isEnabled();
                  AnswerNextBoxWith(QStringLiteral("msgConfirm"), &result);
              });
    // The button runs the form modally and returns once it closed.
    window().findControlAs<QAbstractButton>(QStringLiteral("feedback"))->click();

    EXPECT_EQ(firstTip, QString::fromUtf8("反馈内容不能为空!"));
    EXPECT_TRUE(sendingLocked);
    EXPECT_EQ(sendingText, QString::fromUtf8("正在提交…"));
    EXPECT_EQ(result, QString::fromUtf8("反馈信息已提交!"));
    ASSERT_EQ(requestsTo("/v2/feedback"), 1);
    const Json::Value sent = m_service.Received().back();
    EXPECT_EQ(
        sent["body"].asString(),
        "{\n   \"contact\" : \"微信 tolvex_user\",\n   \"content\" : \"合并后的视频没有声音，希望能修复。\"\n}\n");
    EXPECT_TRUE(WaitFor([] { return FeedbackDialog::current() == nullptr; }, 10000));
}

TEST_F(OnlineWindowTest, FeedbackFormChecksItsFieldsAndTellsEachAnswer)
{
    waitForStartUpServices();
    bool signedIn = false;
    std::vector<QString> tips;
    // Signed out: the three checks in their order, nothing sent; the form stays open.
    WhenShown(
        []() -> QWidget* { return FeedbackDialog::current(); },
        [&](QWidget* window) {
            auto* dialog = static_cast<FeedbackDialog*>(window);
            auto* submit = dialog->findControlAs<QAbstractButton>(QStringLiteral("feedbackBtn"));
            auto* tip = dialog->findControlAs<QLabel>(QStringLiteral("feedbackErrorTips"));
            submit->click();
            tips.push_back(tip->text());
            dialog->findControlAs<QPlainTextEdit>(QStringLiteral("feedbackContent"))->setPlainText("slow");
            submit->click();
            tips.push_back(tip->text());
            dialog->findControlAs<QLineEdit>(QStringLiteral("feedbackContact"))->setText("qq 10001");
            submit->click();
            tips.push_back(tip->text());
            tips.push_back(dialog->findControlAs<QPlainTextEdit>(QStringLiteral("feedbackContent"))->toPlainText());
            dialog->findControlAs<QAbstractButton>(QStringLiteral("closebtn"))->click();
        });
    PostMessageTo(&window(), WM_OPEN_FEEDBACK);
    ASSERT_TRUE(WaitFor([&] { return tips.size() == 4; }, 30000));
    EXPECT_EQ(tips[0], QString::fromUtf8("反馈内容不能为空!"));
    EXPECT_EQ(tips[1], QString::fromUtf8("联系方式不能为空!"));
    EXPECT_EQ(tips[2], QString::fromUtf8("请先登录后进行反馈!"));
    EXPECT_EQ(tips[3], "slow") << "the fields keep their text";
    EXPECT_EQ(requestsTo("/v2/feedback"), 0);

    // Signed in: each answer of the service has its prompt.
    signedIn = true;
    const std::pair<Json::Value, const char*> cases[] = {
        {JsonAnswer(Envelope(0)), "反馈信息已提交!"},
        {JsonAnswer(Envelope(1)), "未知错误"},
        {TextAnswer("<html>Internal Server Error</html>", 500), "网络错误!"},
    };
    for (const auto& [answer, expected] : cases) {
        m_answers["/v2/feedback"] = answer;
        m_service.SetAnswers(m_answers);
        QString prompt;
        WhenShown([]() -> QWidget* { return FeedbackDialog::current(); },
                  [&](QWidget* window) {
                      auto* dialog = static_cast<FeedbackDialog*>(window);
                      dialog->findControlAs<QPlainTextEdit>(QStringLiteral("feedbackContent"))->setPlainText("slow");
                      dialog->findControlAs<QLineEdit>(QStringLiteral("feedbackContact"))->setText("qq 10001");
                      AnswerNextBoxWith(QStringLiteral("msgConfirm"), &prompt);
                      dialog->findControlAs<QAbstractButton>(QStringLiteral("feedbackBtn"))->click();
                  });
        FeedbackDialog::Open(
            &window(), [&signedIn] { return signedIn; }, m_service.BaseUrl());
        EXPECT_EQ(prompt, QString::fromUtf8(expected));
    }
    EXPECT_EQ(requestsTo("/v2/feedback"), 3);
}

}  // namespace
}  // namespace tolvex

#include "OnlineWindowTest.moc"
