#pragma once

// The feedback form: the opinion ("feedbackContent"), a way to reach the user
// ("feedbackContact"), the line for what is missing ("feedbackErrorTips"), the submit button
// ("feedbackBtn") and "contact-us", which opens the service's help page.
//
// Submitting checks the content, the contact and the sign-in, in this order, and names the
// first problem under the fields (they keep their text). Otherwise the fields and the button
// are locked, the button says the feedback is on its way, and a worker POSTs it; its answer
// comes back to the dialog, which hides, shows "反馈信息已提交!", "未知错误" or "网络错误!" in a
// prompt box, and closes.
//
// Created on the heap, run modally (Open), deletes itself after its final message.
// Thread use: the dialog lives on the UI thread; its worker only sends and posts the outcome
// to the dialog. Closing the dialog aborts the request and joins the worker.

#include "app/PostedMessage.h"
#include "net/Feedback.h"
#include "ui/framework/WindowImplBase.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QAbstractButton;
class QLabel;

namespace tolvex {

class FeedbackDialog : public WindowImplBase {
    Q_OBJECT

public:
    static constexpr int kFocusTimerMs = 100;
    // The worker's answer.
    static constexpr int kAnsweredMessage = 1811;

    // `signedIn` tells whether a user is signed in (asked when the user submits);
    // `serviceUrl` is the service's base address.
    FeedbackDialog(std::function<bool()> signedIn, std::string serviceUrl);
    ~FeedbackDialog() override;

    static void Open(QWidget* owner, std::function<bool()> signedIn, const std::string& serviceUrl);
    // The dialog that is open, if any (tests, screenshots).
    static FeedbackDialog* current();

    bool isSending() const { return m_worker.joinable(); }

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    bool HandleCustomMessage(MessageEvent& message) override;
    void onDestroy() override;
    void OnFinalMessage() override;

private:
    QString contentText() const;
    QString contactText() const;
    void submit();
    void setSending(bool sending);
    void stopWorker();

    std::function<bool()> m_signedIn;
    std::string m_serviceUrl;
    QWidget* m_content = nullptr;
    QWidget* m_contact = nullptr;
    QLabel* m_errorTips = nullptr;
    QAbstractButton* m_submit = nullptr;
    QAbstractButton* m_contactUs = nullptr;
    QString m_submitText;

    std::atomic<bool> m_abort{false};
    std::thread m_worker;  // joined before the dialog goes
};

}  // namespace tolvex
