// The JSON client against a real HTTP server on 127.0.0.1.

#include "net/HttpClient.h"
#include "net/ServiceEnvelope.h"
#include "tests/net/NetTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace tolvex {
namespace {

using namespace std::chrono_literals;
using test::Envelope;
using test::JsonAnswer;
using test::TextAnswer;

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Json::Value answers(Json::objectValue);
        answers["/ok"] = JsonAnswer(Envelope(0, "203.0.113.9"));
        answers["/empty"] = TextAnswer("", 204);
        answers["/broken"] = TextAnswer("<html>server error</html>", 500);
        answers["/empty-ok"] = TextAnswer("", 200);
        for (const auto& [path, bytes] : {std::pair{"/largest", HttpClient::kMaxAnswerBytes},
                                          std::pair{"/too-large", HttpClient::kMaxAnswerBytes + 1}}) {
            answers[path]["size"] = static_cast<Json::UInt64>(bytes);
            answers[path]["no_length"] = true;
        }
        m_service.SetAnswers(answers);
        ASSERT_TRUE(m_service.Start());
    }
    std::string url(const char* path) const { return m_service.BaseUrl() + path; }

    LocalService m_service;
};

TEST_F(HttpClientTest, GetSucceedsOnlyWithASuccessStatusAndABody)
{
    std::string body;
    EXPECT_EQ(HttpClientInstance().Get(url("/ok?timestamp=1"), body), 0);
    EXPECT_EQ(test::ParseJson(body)["data"].asString(), "203.0.113.9");
    EXPECT_EQ(m_service.Received().back()["query"].asString(), "timestamp=1");

    std::string empty;
    EXPECT_EQ(HttpClientInstance().Get(url("/empty"), empty), -1) << "204 has no body";
    std::string emptyOk;
    EXPECT_EQ(HttpClientInstance().Get(url("/empty-ok"), emptyOk), -1) << "200 with no body";
    std::string page;
    EXPECT_EQ(HttpClientInstance().Get(url("/broken"), page), -1) << "500, whatever the body";
    std::string missing;
    EXPECT_EQ(HttpClientInstance().Get(url("/nowhere"), missing), -1);

    // The caller's string is appended to, never cleared.
    std::string appended = "kept:";
    EXPECT_EQ(HttpClientInstance().Get(url("/ok"), appended), 0);
    EXPECT_EQ(appended.rfind("kept:{", 0), 0u);

    // An answer may be 1 MiB long, not a byte more (sent without a length, so only the
    // bytes received tell).
    std::string largest;
    EXPECT_EQ(HttpClientInstance().Get(url("/largest"), largest), 0);
    EXPECT_EQ(largest.size(), HttpClient::kMaxAnswerBytes);
    std::string tooLarge;
    EXPECT_EQ(HttpClientInstance().Get(url("/too-large"), tooLarge), -1);
}

TEST_F(HttpClientTest, PostJsonSendsTheBodyAndTakesAnyStatusWithABody)
{
    test::ErrorLogCapture log;
    std::string answer;
    EXPECT_EQ(HttpClientInstance().PostJson(R"({"app_name":"TolvexVideoConverter"})", url("/broken"), answer), 0);
    EXPECT_EQ(answer, "<html>server error</html>");
    EXPECT_FALSE(log.contains("/broken")) << "a request that got its answer is no error";

    const Json::Value received = m_service.Received().back();
    EXPECT_EQ(received["method"].asString(), "POST");
    EXPECT_EQ(received["body"].asString(), R"({"app_name":"TolvexVideoConverter"})");
    EXPECT_EQ(received["content_type"].asString(), "application/json;charset=UTF-8");
    EXPECT_EQ(received["accept"].asString(), "application/json");

    std::string none;
    EXPECT_EQ(HttpClientInstance().PostJson("{}", url("/empty"), none), -1) << "no body";
    EXPECT_TRUE(log.contains("response code:204, empty body"));
}

TEST(HttpClientFailures, RefusedUnresolvableAndAbortedRequestsFailAtOnce)
{
    const std::string refusedUrl = [] {
        test::SilentListener listener;
        return listener.baseUrl() + "/get_user_ip";
    }();
    test::ErrorLogCapture log;
    std::string body;
    EXPECT_EQ(HttpClientInstance().Get(refusedUrl, body), -1);
    EXPECT_EQ(HttpClientInstance().PostJson("{}", refusedUrl, body), -1);
    EXPECT_TRUE(log.contains("curl code:7")) << "the libcurl code is logged";

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpClientInstance().Get("http://service.tolvex.invalid/get_user_ip", body), -1);
    EXPECT_EQ(HttpClientInstance().PostJson("{}", "https://a.b.invalid./v2/feedback", body), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << "no name lookup for .invalid";

    // A request to a silent server ends soon after its abort flag is set.
    test::SilentListener silent;
    std::atomic<bool> abort{false};
    auto request = std::async(std::launch::async, [&] {
        std::string answer;
        return HttpClientInstance().PostJson("{}", silent.baseUrl() + "/v2/feedback", answer, &abort);
    });
    EXPECT_TRUE(silent.waitForConnection(5000)) << "the request reached the server";
    abort.store(true);
    ASSERT_EQ(request.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(request.get(), -1);
}

// Both operations give up on a server that accepts the connection but never answers, after
// the 10-second time-out (run side by side to wait only once).
TEST(HttpClientFailures, ServerThatNeverAnswersTimesOut)
{
    test::SilentListener silent;
    const auto started = std::chrono::steady_clock::now();
    auto get = std::async(std::launch::async, [&] {
        std::string answer;
        return HttpClientInstance().Get(silent.baseUrl() + "/get_user_ip", answer);
    });
    auto post = std::async(std::launch::async, [&] {
        std::string answer;
        return HttpClientInstance().PostJson("{}", silent.baseUrl() + "/v2/upgrade_check", answer);
    });
    EXPECT_EQ(get.get(), -1);
    EXPECT_EQ(post.get(), -1);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_GE(elapsed, 9500ms);
    EXPECT_LT(elapsed, 20s);
}

// Two threads ask for the client at the same moment; true when both got the same client
// and libcurl was initialised once.
bool TwoThreadsGetOneClient()
{
    std::promise<void> go;
    std::shared_future<void> start = go.get_future().share();
    HttpClient* first = nullptr;
    HttpClient* second = nullptr;
    std::thread a([&] {
        start.wait();
        first = &HttpClientInstance();
    });
    std::thread b([&] {
        start.wait();
        second = &HttpClientInstance();
    });
    go.set_value();
    a.join();
    b.join();
    return first && first == second && HttpClient::globalInitCount() == 1;
}

// Run in a fresh process, where nobody made the client yet.
TEST(HttpClientInstanceDeathTest, TwoThreadsAtOnceInitialiseOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(TwoThreadsGetOneClient() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(ServiceEnvelope, OnlyAnObjectWithAnIntegerRetIsAnAnswer)
{
    const auto ok = ParseServiceEnvelope(R"({"ret":0,"data":"1.2.3.4"})");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->succeeded());
    EXPECT_EQ(ok->data.asString(), "1.2.3.4");

    const auto failed = ParseServiceEnvelope("// the service's comment\n{\"ret\":3}");
    ASSERT_TRUE(failed) << "comments are allowed";
    EXPECT_FALSE(failed->succeeded());
    EXPECT_TRUE(failed->data.isNull());

    for (const char* wrong : {"", "<html>502 Bad Gateway</html>", "{\"ret\":0", "[0]", "\"ret\"", "{}",
                              R"({"ret":"0"})", R"({"ret":0.5})", R"({"ret":null,"data":{}})", "null"})
        EXPECT_FALSE(ParseServiceEnvelope(wrong)) << wrong;
}

}  // namespace
}  // namespace tolvex
