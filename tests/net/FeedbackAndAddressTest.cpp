// Feedback, the public address query and the stored account, against the local service.

#include "app/ServiceAddress.h"
#include "app/Settings.h"
#include "net/AccountStore.h"
#include "net/Feedback.h"
#include "net/PublicIpQuery.h"
#include "tests/app/TestEnv.h"
#include "tests/net/NetTestSupport.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

using test::Envelope;
using test::JsonAnswer;
using test::TextAnswer;

TEST(Feedback, FieldsAreCheckedInOrder)
{
    EXPECT_EQ(ValidateFeedback("", "", false), FeedbackProblem::EmptyContent);
    EXPECT_EQ(ValidateFeedback("", "qq 1", true), FeedbackProblem::EmptyContent);
    EXPECT_EQ(ValidateFeedback("slow", "", false), FeedbackProblem::EmptyContact);
    EXPECT_EQ(ValidateFeedback("slow", "qq 1", false), FeedbackProblem::SignedOut);
    EXPECT_EQ(ValidateFeedback("slow", "qq 1", true), FeedbackProblem::None);
    EXPECT_EQ(FeedbackProblemText(FeedbackProblem::EmptyContent), QString::fromUtf8("反馈内容不能为空!"));
    EXPECT_EQ(FeedbackProblemText(FeedbackProblem::EmptyContact), QString::fromUtf8("联系方式不能为空!"));
    EXPECT_EQ(FeedbackProblemText(FeedbackProblem::SignedOut), QString::fromUtf8("请先登录后进行反馈!"));
}

TEST(Feedback, ChineseTextReachesTheServiceAsUtf8AndEachAnswerHasItsPrompt)
{
    LocalService service;
    ASSERT_TRUE(service.Start());
    Json::Value answers(Json::objectValue);
    const auto sendWith = [&](const Json::Value& answer) {
        answers["/v2/feedback"] = answer;
        service.SetAnswers(answers);
        return SendFeedback(service.BaseUrl(),
                            FeedbackBody(QString::fromUtf8("转换太慢了"), QString::fromUtf8("微信 abc")));
    };

    EXPECT_EQ(sendWith(JsonAnswer(Envelope(0))), FeedbackOutcome::Submitted);
    const Json::Value received = service.Received().back();
    EXPECT_EQ(received["path"].asString(), "/v2/feedback");
    EXPECT_EQ(received["content_type"].asString(), "application/json;charset=UTF-8");
    EXPECT_EQ(received["body"].asString(), "{\n   \"contact\" : \"微信 abc\",\n   \"content\" : \"转换太慢了\"\n}\n");

    EXPECT_EQ(sendWith(JsonAnswer(Envelope(1))), FeedbackOutcome::UnknownError);
    EXPECT_EQ(sendWith(TextAnswer("<html>Internal Server Error</html>", 500)), FeedbackOutcome::NetworkError);
    EXPECT_EQ(sendWith(TextAnswer("{\"ret\":", 200)), FeedbackOutcome::NetworkError);
    EXPECT_EQ(sendWith(JsonAnswer(Json::Value("ok"))), FeedbackOutcome::NetworkError);
    EXPECT_EQ(SendFeedback("http://127.0.0.1:1", "{}"), FeedbackOutcome::NetworkError);

    EXPECT_EQ(FeedbackOutcomeText(FeedbackOutcome::Submitted), QString::fromUtf8("反馈信息已提交!"));
    EXPECT_EQ(FeedbackOutcomeText(FeedbackOutcome::UnknownError), QString::fromUtf8("未知错误"));
    EXPECT_EQ(FeedbackOutcomeText(FeedbackOutcome::NetworkError), QString::fromUtf8("网络错误!"));
}

class PublicIpQueryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Start()); }
    bool queryWith(const Json::Value& answer)
    {
        Json::Value answers(Json::objectValue);
        answers["/get_user_ip"] = answer;
        m_service.SetAnswers(answers);
        return PublicIpQuery(m_service.BaseUrl());
    }
    static QString stored()
    {
        QString value;
        ReadSetting("global", "user-real-ip", QString(), value, 56);
        return value;
    }

    test::ScopedHome m_home;
    LocalService m_service;
};

TEST_F(PublicIpQueryTest, StoresANonEmptyAddressOnce)
{
    EXPECT_TRUE(PublicIpQueryNeeded());
    const std::string badAnswers[] = {
        R"({"ret":0,"data":""})",
        R"({"ret":0,"data":5})",
        R"({"ret":1,"data":"203.0.113.5"})",
        R"({"ret":0,"data":"1.2.3.4\n[global]\noutput-dir=/"})",
        "not json",
    };
    for (const std::string& bad : badAnswers) {
        EXPECT_FALSE(queryWith(TextAnswer(bad))) << bad;
        EXPECT_TRUE(PublicIpQueryNeeded()) << "nothing stored for " << bad;
    }
    EXPECT_FALSE(queryWith(TextAnswer(R"({"ret":0,"data":"203.0.113.5"})", 503)));
    EXPECT_TRUE(stored().isEmpty());

    EXPECT_TRUE(queryWith(JsonAnswer(Envelope(0, "203.0.113.5"))));
    EXPECT_EQ(stored(), "203.0.113.5");
    EXPECT_FALSE(PublicIpQueryNeeded()) << "the next start does not ask again";
    const Json::Value request = m_service.Received().back();
    EXPECT_EQ(request["method"].asString(), "GET");
    EXPECT_EQ(request["query"].asString().rfind("timestamp=", 0), 0u);

    EXPECT_TRUE(queryWith(JsonAnswer(Envelope(0, "2001:db8::7"))));
    EXPECT_EQ(stored(), "2001:db8::7");
}

TEST(AccountStore, SignedInWithAPhoneNumberOrAWeChatIdentity)
{
    test::ScopedHome home;
    AccountState state;
    LoadAccount(state);
    EXPECT_FALSE(state.isSignedIn()) << "no file";

    const auto write = [](const QByteArray& text) {
        QFile file(AccountFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    struct Case {
        const char* text;
        bool signedIn;
    };
    for (const Case& c : {Case{R"({"mobile":"13800000000","wechat":""})", true}, Case{R"({"wechat":"wx_abc"})", true},
                          Case{R"({"mobile":"","wechat":""})", false}, Case{R"({"mobile":13800000000})", false},
                          Case{"[\"13800000000\"]", false}, Case{"{\"mobile\":", false}}) {
        write(c.text);
        LoadAccount(state);
        EXPECT_EQ(state.isSignedIn(), c.signedIn) << c.text;
    }
    EXPECT_TRUE(AccountFilePath().endsWith("/TolvexVideoConverter/Data/account.json"));
}

TEST(ServiceAddress, EnvironmentThenConfigFileThenTheNeverResolvingDefault)
{
    EXPECT_TRUE(IsUnresolvableServiceUrl(BuiltInServiceAddress()));
    const QString config = QCoreApplication::applicationDirPath() + "/Config.ini";
    ASSERT_FALSE(QFile::exists(config)) << "a Config.ini beside the tests";
    qunsetenv("TOLVEX_SERVICE_URL");
    EXPECT_EQ(ServiceBaseAddress(), BuiltInServiceAddress());

    {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[global]\nag=7\nservice-url=http://127.0.0.1:8765/\n");
    }
    EXPECT_EQ(ServiceBaseAddress(), "http://127.0.0.1:8765");
    EXPECT_EQ(HelpPageAddress(), "http://127.0.0.1:8765/help");
    qputenv("TOLVEX_SERVICE_URL", "http://localhost:9000");
    EXPECT_EQ(ServiceBaseAddress(), "http://localhost:9000");
    qunsetenv("TOLVEX_SERVICE_URL");
    QFile::remove(config);

    EXPECT_FALSE(IsUnresolvableServiceUrl("http://127.0.0.1:8765"));
    EXPECT_TRUE(IsUnresolvableServiceUrl("https://api.tolvex.invalid./v2"));
    EXPECT_FALSE(IsUnresolvableServiceUrl("https://invalid.example.com"));
}

}  // namespace
}  // namespace tolvex
