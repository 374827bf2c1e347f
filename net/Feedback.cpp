#include "net/Feedback.h"

#include "app/Helpers.h"
#include "net/HttpClient.h"
#include "net/ServiceEnvelope.h"

#include <QCoreApplication>

#include <json/writer.h>

namespace tolvex {

FeedbackProblem ValidateFeedback(const QString& content, const QString& contact, bool signedIn)
{
    if (content.isEmpty())
        return FeedbackProblem::EmptyContent;
    if (contact.isEmpty())
        return FeedbackProblem::EmptyContact;
    if (!signedIn)
        return FeedbackProblem::SignedOut;
    return FeedbackProblem::None;
}

QString FeedbackProblemText(FeedbackProblem problem)
{
    switch (problem) {
    case FeedbackProblem::EmptyContent:
        return QCoreApplication::translate("FeedbackTexts", "反馈内容不能为空!");
    case FeedbackProblem::EmptyContact:
        return QCoreApplication::translate("FeedbackTexts", "联系方式不能为空!");
    case FeedbackProblem::SignedOut:
        return QCoreApplication::translate("FeedbackTexts", "请先登录后进行反馈!");
    case FeedbackProblem::None:
        break;
    }
    return QString();
}

std::string FeedbackBody(const QString& content, const QString& contact)
{
    Json::Value body(Json::objectValue);
    body["content"] = ToNarrowUtf8(content);
    body["contact"] = ToNarrowUtf8(contact);
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, body) + "\n";
}

FeedbackOutcome EvaluateFeedbackAnswer(int requestResult, const std::string& answer)
{
    if (requestResult != 0)
        return FeedbackOutcome::NetworkError;
    const auto envelope = ParseServiceEnvelope(answer);
    if (!envelope)
        return FeedbackOutcome::NetworkError;
    return envelope->succeeded() ? FeedbackOutcome::Submitted : FeedbackOutcome::UnknownError;
}

FeedbackOutcome SendFeedback(const std::string& baseUrl, const std::string& body, const std::atomic<bool>* abort)
{
    std::string answer;
    const int result = HttpClientInstance().PostJson(body, baseUrl + "/v2/feedback", answer, abort);
    return EvaluateFeedbackAnswer(result, answer);
}

QString FeedbackOutcomeText(FeedbackOutcome outcome)
{
    switch (outcome) {
    case FeedbackOutcome::Submitted:
        return QCoreApplication::translate("FeedbackTexts", "反馈信息已提交!");
    case FeedbackOutcome::UnknownError:
        return QCoreApplication::translate("FeedbackTexts", "未知错误");
    case FeedbackOutcome::NetworkError:
        break;
    }
    return QCoreApplication::translate("FeedbackTexts", "网络错误!");
}

}  // namespace tolvex
