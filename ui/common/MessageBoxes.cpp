#include "ui/common/MessageBoxes.h"

#include "ui/common/MessageBoxDialog.h"
#include "ui/common/PromptBoxDialog.h"
#include "ui/framework/OwnedDialog.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <memory>

namespace tolvex {

namespace {

template <class Box>
int RunBoxOnUiThread(QWidget* owner, const QString& text, const QStringList& fileNames)
{
    // Once created the box owns itself: it deletes itself after its final message, or goes
    // with its owner when the owner is destroyed first.
    return RunOwnedModal(std::make_unique<Box>(owner, text, fileNames), owner);
}

template <class Box>
int RunBox(QWidget* owner, const QString& text, const QStringList& fileNames)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return 0;
    if (QThread::currentThread() == app->thread())
        return RunBoxOnUiThread<Box>(owner, text, fileNames);

    // Widgets live on the UI thread only: ask it to run the box and wait for the answer.
    // The owner may go away before the UI thread gets to the call.
    QPointer<QWidget> guardedOwner(owner);
    int answer = 0;
    QMetaObject::invokeMethod(
        app,
        [&answer, guardedOwner, text, fileNames] {
            answer = RunBoxOnUiThread<Box>(guardedOwner.data(), text, fileNames);
        },
        Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace

int ShowMessageBox(QWidget* owner, const QString& text, const QStringList& fileNames)
{
    return RunBox<MessageBoxDialog>(owner, text, fileNames);
}

int ShowQuestionBox(QWidget* owner, const QString& text, const QString& confirmText, const QString& cancelText)
{
    auto box = std::make_unique<MessageBoxDialog>(owner, text);
    box->setButtonTexts(confirmText, cancelText);
    return RunOwnedModal(std::move(box), owner);
}

int ShowPromptBox(QWidget* owner, const QString& text, const QStringList& fileNames)
{
    return RunBox<PromptBoxDialog>(owner, text, fileNames);
}

}  // namespace tolvex
