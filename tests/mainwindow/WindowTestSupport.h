#pragma once

// The real main window for one test: created over a private output folder, with its media
// adder's failure notice captured; media clips made once per run with the real ffmpeg;
// waiting for the window's state while its event loop runs; answering the modal boxes.

#include "tasks/TaskTypes.h"
#include "tests/support/EventLoopWait.h"
#include "ui/main/CMainWnd.h"

#include <QDesktopServices>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

class QWidget;

namespace tolvex {

class MediaAdder;
class PageTasks;

namespace test {

// A clip in the run's media folder, made on first request: `seconds` of testsrc2 at
// width x height with a sine tone (or silent), in the container of `name`'s extension.
QString Clip(const QString& name, double seconds = 2.0, int width = 160, int height = 120, bool audio = true);
// A sine tone file (the container of `name`'s extension).
QString Tone(const QString& name, double seconds = 3.0);

// Answers the next skinned box (message or prompt) that opens within `timeoutMs` with its
// confirm button; its text lands in `text`.
void AnswerNextBox(QString* text, int timeoutMs = 60000);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CMainWnd& window() { return *m_window; }
    bool windowGone() const { return m_window.isNull(); }
    PageTasks& tasks();
    MediaAdder& adder() { return *m_adder; }
    const QString& outputFolder() const { return m_output; }

    // Adds `paths` to `page` as its add button would and waits until all are listed.
    void addAndWait(PageKind page, const QStringList& paths);
    QWidget* itemAt(PageKind page, int index);
    TaskId idAt(PageKind page, int index);
    // The text of the control `name` inside `container`.
    static QString textIn(QWidget* container, const char* name);
    // Clicks the page's start button and waits until the page is idle again.
    bool startAndWaitIdle(PageKind page, int timeoutMs = 120000);
    // The files of the output folder.
    QStringList outputFiles() const;

    QStringList m_notAdded;

private:
    QTemporaryDir m_outputDir;
    QString m_output;
    QPointer<CMainWnd> m_window;
    MediaAdder* m_adder = nullptr;
};

// Takes the folders and files the program asks the desktop to open, instead of a file
// manager, while it exists.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

}  // namespace test
}  // namespace tolvex
