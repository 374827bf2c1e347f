#include "tests/mainwindow/WindowTestSupport.h"

#include "app/Settings.h"
#include "tests/support/TestMedia.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/MediaAdder.h"
#include "ui/main/PageTasks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace tolvex::test {

namespace {

QTemporaryDir& MediaFolder()
{
    static QTemporaryDir folder;
    return folder;
}

}  // namespace

QString Clip(const QString& name, double seconds, int width, int height, bool audio)
{
    QString path = MediaFolder().filePath(name);
    if (!QFileInfo::exists(path)) {
        EXPECT_TRUE(MakeVideo(path.toStdString(), seconds, width, height, audio)) << name.toStdString();
    }
    return path;
}

QString Tone(const QString& name, double seconds)
{
    QString path = MediaFolder().filePath(name);
    if (!QFileInfo::exists(path)) {
        EXPECT_TRUE(MakeAudio(path.toStdString(), seconds)) << name.toStdString();
    }
    return path;
}

void AnswerNextBox(QString* text, int timeoutMs)
{
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    // The poll holds itself so it can schedule its next round; it lets go of itself once it
    // has answered or given up, otherwise the closure would keep itself alive for ever.
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [text, deadline, poll] {
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* confirm = qobject_cast<QAbstractButton*>(widget);
            if (!confirm || confirm->objectName() != QLatin1String("msgConfirm") || !confirm->isVisible())
                continue;
            if (auto* label = confirm->window()->findChild<QLabel*>(QStringLiteral("msgText")))
                *text = label->text();
            *poll = nullptr;
            confirm->click();
            return;
        }
        if (!deadline->hasExpired())
            QTimer::singleShot(20, *poll);
        else
            *poll = nullptr;
    };
    QTimer::singleShot(20, *poll);
}

void WindowTest::SetUp()
{
    ASSERT_TRUE(m_outputDir.isValid());
    m_output = m_outputDir.path();
    ASSERT_TRUE(WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), m_output));
    m_window = new CMainWnd;
    ASSERT_TRUE(m_window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW));
    m_window->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window));
    m_adder = m_window->handler<MediaAdder>();
    ASSERT_NE(m_adder, nullptr);
    m_adder->setFailureNotice([this](const QString&, const QStringList& names) { m_notAdded += names; });
}

void WindowTest::TearDown()
{
    if (m_window && !m_window->isClosed())
        m_window->Close();
    EXPECT_TRUE(WaitFor([this] { return m_window.isNull(); }, 10000)) << "the window deletes itself";
    // The window's end asked the application to quit, which would end every later modal
    // loop at once; one short turn of the application's loop takes the request back.
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    // Every ffmpeg the window started ended with it.
    EXPECT_TRUE(WaitFor([] { return NoChildProcesses(); }, 10000));
}

PageTasks& WindowTest::tasks()
{
    return m_window->tasks();
}

void WindowTest::addAndWait(PageKind page, const QStringList& paths)
{
    CListUI* list = m_window->pageList(page);
    ASSERT_NE(list, nullptr);
    const int before = list->count();
    m_adder->addFiles(page, paths);
    ASSERT_TRUE(WaitFor([&] { return m_adder->pendingCount() == 0; }));
    ASSERT_EQ(list->count(), before + paths.size()) << m_notAdded.join(QLatin1Char(',')).toStdString();
}

QWidget* WindowTest::itemAt(PageKind page, int index)
{
    CListUI* list = m_window->pageList(page);
    return list ? list->itemAt(index) : nullptr;
}

TaskId WindowTest::idAt(PageKind page, int index)
{
    return static_cast<TaskId>(ControlTag(itemAt(page, index)));
}

QString WindowTest::textIn(QWidget* container, const char* name)
{
    return ControlText(FindSubControl(container, QString::fromLatin1(name)));
}

bool WindowTest::startAndWaitIdle(PageKind page, int timeoutMs)
{
    QAbstractButton* start = m_window->startButton(page);
    if (!start)
        return false;
    start->click();
    if (!tasks().engine().isPageBusy(page))
        return false;
    return WaitFor([&] { return !tasks().engine().isPageBusy(page); }, timeoutMs);
}

QStringList WindowTest::outputFiles() const
{
    return QDir(m_output).entryList(QDir::Files, QDir::Name);
}

}  // namespace tolvex::test
