#pragma once

// The feedback a signed-in user sends to the vendor's web service: checking the two fields,
// the JSON body, the request to "/v2/feedback" and the texts of each outcome.
//
// Thread use: SendFeedback blocks for up to the client's time-outs; call it off the UI
// thread. The other functions are pure.

#include <QString>

#include <atomic>
#include <string>

namespace tolvex {

enum class FeedbackProblem {
    None,
    EmptyContent,
    EmptyContact,
    SignedOut,
};

// The first problem of the fields, in this order: content, contact, sign-in.
FeedbackProblem ValidateFeedback(const QString& content, const QString& contact, bool signedIn);
// "反馈内容不能为空!", "联系方式不能为空!", "请先登录后进行反馈!" (empty for None).
QString FeedbackProblemText(FeedbackProblem problem);

// {"contact": ..., "content": ...} in UTF-8, members in key order, three-space indentation,
// a line break after the closing brace.
std::string FeedbackBody(const QString& content, const QString& contact);

enum class FeedbackOutcome {
    Submitted,     // "ret" 0
    UnknownError,  // another "ret"
    NetworkError,  // no answer that parses
};

// What an answer body means.
FeedbackOutcome EvaluateFeedbackAnswer(int requestResult, const std::string& answer);
// POSTs `body` to `baseUrl` + "/v2/feedback".
FeedbackOutcome SendFeedback(const std::string& baseUrl, const std::string& body,
                             const std::atomic<bool>* abort = nullptr);
// "反馈信息已提交!", "未知错误", "网络错误!"
QString FeedbackOutcomeText(FeedbackOutcome outcome);

}  // namespace tolvex
