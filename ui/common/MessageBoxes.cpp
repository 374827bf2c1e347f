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
int RunBoxOnUiThread(QWidget* owner, const QString& text)
{
    // Once created the box owns itself: it deletes itself after its final message, or goes
    // with its owner when the owner is destroyed first.
    return RunOwnedModal(std::make_unique<Box>(owner, text), owner);
}

template <class Box>
int RunBox(QWidget* owner, const QString& text)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return 0;
    if (QThread::currentThread() == app->thread())
        return RunBoxOnUiThread<Box>(owner, text);

    // Widgets live on the UI thread only: ask it to run the box and wait for the answer.
    // The owner may go away before the UI thread gets to the call.
    QPointer<QWidget> guardedOwner(owner);
    int answer = 0;
    QMetaObject::invokeMethod(
        app, [&answer, guardedOwner, text] { answer = RunBoxOnUiThread<Box>(guardedOwner.data(), text); },
        Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace

int ShowMessageBox(QWidget* owner, const QString& text)
{
    return RunBox<MessageBoxDialog>(owner, text);
}

int ShowPromptBox(QWidget* owner, const QString& text)
{
    return RunBox<PromptBoxDialog>(owner, text);
}

}  // namespace tolvex
