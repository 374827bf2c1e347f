#include "ui/net/FeedbackDialog.h"

#include "app/ServiceAddress.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/OwnedDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace tolvex {

namespace {

QPointer<FeedbackDialog> g_current;

struct FeedbackAnswerRecord : MessageRecord {
    FeedbackOutcome outcome = FeedbackOutcome::NetworkError;
};

// The text of a one-line or a multi-line field.
QString FieldText(const QWidget* field)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(field))
        return line->text();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(field))
        return plain->toPlainText();
    if (const auto* rich = qobject_cast<const QTextEdit*>(field))
        return rich->toPlainText();
    return QString();
}

}  // namespace

FeedbackDialog::FeedbackDialog(std::function<bool()> signedIn, std::string serviceUrl)
    : m_signedIn(std::move(signedIn)), m_serviceUrl(std::move(serviceUrl))
{
}

FeedbackDialog::~FeedbackDialog()
{
    stopWorker();
}

void FeedbackDialog::Open(QWidget* owner, std::function<bool()> signedIn, const std::string& serviceUrl)
{
    RunOwnedModal(std::make_unique<FeedbackDialog>(std::move(signedIn), serviceUrl), owner);
}

FeedbackDialog* FeedbackDialog::current()
{
    return g_current.data();
}

QString FeedbackDialog::GetSkinFile()
{
    return QStringLiteral("Feedback.xml");
}

QString FeedbackDialog::getWindowClassName() const
{
    return QStringLiteral("意见反馈");
}

void FeedbackDialog::InitWindow()
{
    m_content = FindControl(QStringLiteral("feedbackContent"));
    m_contact = FindControl(QStringLiteral("feedbackContact"));
    m_errorTips = findControlAs<QLabel>(QStringLiteral("feedbackErrorTips"));
    m_submit = findControlAs<QAbstractButton>(QStringLiteral("feedbackBtn"));
    m_contactUs = findControlAs<QAbstractButton>(QStringLiteral("contact-us"));
    if (m_submit)
        m_submitText = m_submit->text();
    g_current = this;
    // The caret goes into the content box once the window is on screen.
    QTimer::singleShot(kFocusTimerMs, this, [this] {
        if (m_content && !isClosed())
            m_content->setFocus(Qt::OtherFocusReason);
    });
}

QString FeedbackDialog::contentText() const
{
    return FieldText(m_content);
}

QString FeedbackDialog::contactText() const
{
    return FieldText(m_contact);
}

void FeedbackDialog::Notify(TNotifyUI& msg)
{
    if (msg.type == QLatin1String("click") && msg.sender) {
        if (m_submit && msg.sender == m_submit)
            submit();
        else if (m_contactUs && msg.sender == m_contactUs)
            QDesktopServices::openUrl(QUrl(HelpPageAddress()));
    }
    WindowImplBase::Notify(msg);
}

void FeedbackDialog::submit()
{
    if (isSending())
        return;
    const QString content = contentText();
    const QString contact = contactText();
    const FeedbackProblem problem = ValidateFeedback(content, contact, m_signedIn && m_signedIn());
    if (m_errorTips)
        m_errorTips->setText(FeedbackProblemText(problem));
    if (problem != FeedbackProblem::None)
        return;

    setSending(true);
    m_worker = std::thread([this, body = FeedbackBody(content, contact), url = m_serviceUrl] {
        auto record = std::make_unique<FeedbackAnswerRecord>();
        record->outcome = SendFeedback(url, body, &m_abort);
        PostMessageTo(this, kAnsweredMessage, std::move(record));
    });
}

void FeedbackDialog::setSending(bool sending)
{
    for (QWidget* field : {m_content, m_contact}) {
        if (field)
            field->setEnabled(!sending);
    }
    if (m_submit) {
        m_submit->setEnabled(!sending);
        m_submit->setText(sending ? QCoreApplication::translate("FeedbackDialog", "正在提交…") : m_submitText);
    }
    if (sending)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

bool FeedbackDialog::HandleCustomMessage(MessageEvent& message)
{
    if (message.number() != kAnsweredMessage)
        return false;
    stopWorker();
    const auto* record = message.recordAs<FeedbackAnswerRecord>();
    if (isClosed() || !record)
        return true;
    setSending(false);
    hide();
    ShowPromptBox(this, FeedbackOutcomeText(record->outcome));
    Close(1);
    return true;
}

void FeedbackDialog::stopWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void FeedbackDialog::onDestroy()
{
    m_abort.store(true);
    stopWorker();
}

void FeedbackDialog::OnFinalMessage()
{
    delete this;
}

}  // namespace tolvex
