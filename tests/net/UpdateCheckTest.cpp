// The update check against the local service: version comparison, forced and optional
// releases, and answers of the wrong shape.

#include "net/UpdateCheck.h"
#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

using test::Envelope;
using test::JsonAnswer;
using test::TextAnswer;
using test::UpgradeAnswer;

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_service.Start()); }
    UpdateCheckResult checkWith(const Json::Value& answer)
    {
        Json::Value answers(Json::objectValue);
        answers["/v2/upgrade_check"] = answer;
        m_service.SetAnswers(answers);
        return RequestUpdateCheck(m_service.BaseUrl());
    }

    LocalService m_service;
};

TEST_F(UpdateCheckTest, OnlyAHigherVersionIsOffered)
{
    struct Case {
        const char* version;
        UpdateCheckOutcome expected;
    };
    for (const Case& c :
         {Case{"1.4.1", UpdateCheckOutcome::NewerRelease}, Case{"1.3.9", UpdateCheckOutcome::UpToDate},
          Case{"1.4.0", UpdateCheckOutcome::UpToDate}, Case{"2.0.0", UpdateCheckOutcome::NewerRelease},
          Case{"1.5.0", UpdateCheckOutcome::NewerRelease}, Case{"0.9.99", UpdateCheckOutcome::UpToDate},
          Case{"1.4.0.9", UpdateCheckOutcome::UpToDate}, Case{"1.10.0", UpdateCheckOutcome::NewerRelease}}) {
        const UpdateCheckResult result = checkWith(UpgradeAnswer(c.version, "http://127.0.0.1/setup.run", 0));
        EXPECT_EQ(result.outcome, c.expected) << c.version;
    }
    const Json::Value request = m_service.Received().back();
    EXPECT_EQ(request["path"].asString(), "/v2/upgrade_check");
    EXPECT_EQ(request["body"].asString(), R"({"app_name":"TolvexVideoConverter"})");
}

TEST_F(UpdateCheckTest, ForcedFlagFromANumberOrAText)
{
    const auto forced = checkWith(UpgradeAnswer("1.4.1", "http://127.0.0.1:1/a/setup.run", "1"));
    ASSERT_EQ(forced.outcome, UpdateCheckOutcome::NewerRelease);
    EXPECT_TRUE(forced.info.forced);
    EXPECT_EQ(forced.info.downloadUrl, "http://127.0.0.1:1/a/setup.run");
    EXPECT_EQ(forced.info.appVersion, "1.4.1");
    EXPECT_TRUE(checkWith(UpgradeAnswer("1.4.1", "u", 1)).info.forced);
    EXPECT_FALSE(checkWith(UpgradeAnswer("1.4.1", "u", "0")).info.forced);
    EXPECT_FALSE(checkWith(UpgradeAnswer("1.4.1", "u", 0)).info.forced);
}

TEST_F(UpdateCheckTest, WrongShapedAnswersAreFailedChecks)
{
    Json::Value noUrl = UpgradeAnswer("2.0.0", "u", 0);
    noUrl["json"]["data"].removeMember("download_url");
    Json::Value numericVersion = UpgradeAnswer("2.0.0", "u", 0);
    numericVersion["json"]["data"]["app_version"] = 2;
    Json::Value noForce = UpgradeAnswer("2.0.0", "u", 0);
    noForce["json"]["data"].removeMember("force_upgrade");

    const Json::Value wrong[] = {
        TextAnswer("{\"ret\":0,\"data\":{"),                                      // malformed
        TextAnswer("<html>Bad Gateway</html>", 502),                              // an error page
        JsonAnswer(Envelope(1, UpgradeAnswer("2.0.0", "u", 0)["json"]["data"])),  // ret not 0
        JsonAnswer(Envelope(0, "2.0.0")),                                         // data of another type
        JsonAnswer(Json::Value(Json::arrayValue)),                                // not an object
        noUrl,
        numericVersion,
        noForce,
        UpgradeAnswer("2.0", "u", 0),  // fewer than three numbers
        UpgradeAnswer("2.x.0", "u", 0),
        UpgradeAnswer("-2.0.0", "u", 0),
        UpgradeAnswer("99999999999.0.0", "u", 0),
        TextAnswer("", 200),
    };
    for (const Json::Value& answer : wrong)
        EXPECT_EQ(checkWith(answer).outcome, UpdateCheckOutcome::Failed) << answer.toStyledString();
}

TEST(UpdateCheck, VersionsAndAnUnreachableService)
{
    EXPECT_EQ(ParseReleaseVersion(kLocalVersion), (ReleaseVersion{1, 4, 0}));
    EXPECT_EQ(ParseReleaseVersion("10.20.30.40"), (ReleaseVersion{10, 20, 30}));
    EXPECT_FALSE(ParseReleaseVersion("1.4"));
    EXPECT_FALSE(ParseReleaseVersion("1.4.b"));
    EXPECT_FALSE(ParseReleaseVersion(" 1.4.0"));

    EXPECT_EQ(RequestUpdateCheck("http://127.0.0.1:1").outcome, UpdateCheckOutcome::Failed);
}

}  // namespace
}  // namespace tolvex
