#include "tests/engine/EngineTestFixture.h"

#include "tests/support/TestMedia.h"

#include <QObject>
#include <QTimer>

namespace tolvex::test {

QTemporaryDir* EngineTestFixture::s_media = nullptr;

void EngineTestFixture::SetUpTestSuite()
{
    s_media = new QTemporaryDir;
    ASSERT_TRUE(MakeVideo(mediaPath("input.mp4"), 1.5));
}

void EngineTestFixture::TearDownTestSuite()
{
    delete s_media;
    s_media = nullptr;
}

std::string EngineTestFixture::mediaPath(const std::string& name)
{
    return s_media->filePath(QString::fromStdString(name)).toStdString();
}

void EngineTestFixture::SetUp()
{
    m_runner = std::make_unique<HeadlessRunner>(m_factory);
    HeadlessRunner::Callbacks callbacks;
    callbacks.progress = [this](const TaskUpdate& r) {
        m_progress[r.taskId].push_back(r.positionMs);
        m_durations[r.taskId] = r.durationMs;
        m_percents[r.taskId].push_back(r.percent);
        if (m_onProgress)
            m_onProgress(r);
    };
    callbacks.done = [this](const TaskUpdate& r) {
        m_factory.note("done " + std::to_string(r.taskId));
        ++m_doneCount[r.taskId];
    };
    callbacks.failed = [this](const TaskUpdate& r) {
        m_factory.note("fail " + std::to_string(r.taskId));
        ++m_failCount[r.taskId];
        m_failReasons[r.taskId] = r.reason;
    };
    callbacks.output = [this](const TaskUpdate& r) { m_outputs[r.taskId] = r.outputPath; };
    m_runner->setCallbacks(callbacks);
}

void EngineTestFixture::TearDown()
{
    m_runner.reset();
    EXPECT_TRUE(NoChildProcesses()) << "a child process or zombie outlived the engine";
}

std::string EngineTestFixture::outPath(const std::string& name) const
{
    return m_out.filePath(QString::fromStdString(name)).toStdString();
}

void EngineTestFixture::runAll(int seconds)
{
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        for (const PageKind page : kQueuedPages)
            engine().ClearPage(page);
        engine().ClearPage(PageKind::Merge);
    });
    guard.start(seconds * 1000);
    m_runner->run();
    EXPECT_FALSE(timedOut) << "the pages did not become idle";
}

}  // namespace tolvex::test
