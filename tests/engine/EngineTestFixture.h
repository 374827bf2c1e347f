#pragma once

// The fixture of the engine tests that run jobs: a short input clip made once per suite,
// an output folder per test, a scripted factory and a headless runner whose callbacks
// record what each task reported (progress, end, reason, output name). The end of every
// test checks that no child process outlived the engine.

#include "tasks/HeadlessRunner.h"
#include "tasks/TaskEngine.h"
#include "tests/support/ScriptedFactory.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tolvex::test {

class EngineTestFixture : public ::testing::Test {
protected:
    // Makes the 1.5 s input clip ("input.mp4" in the suite's media folder).
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static std::string mediaPath(const std::string& name);

    void SetUp() override;
    void TearDown() override;

    std::string outPath(const std::string& name) const;
    TaskEngine& engine() { return m_runner->engine(); }

    // Runs until every page is idle; a test that hangs is cleared after `seconds`.
    void runAll(int seconds = 60);

    static QTemporaryDir* s_media;
    QTemporaryDir m_out;
    ScriptedFactory m_factory;
    std::unique_ptr<HeadlessRunner> m_runner;
    std::map<TaskId, std::vector<int32_t>> m_progress;  // positions, in ms
    std::map<TaskId, std::vector<int>> m_percents;
    std::map<TaskId, int32_t> m_durations;
    std::map<TaskId, int> m_doneCount;
    std::map<TaskId, int> m_failCount;
    std::map<TaskId, std::string> m_failReasons;
    std::map<TaskId, std::string> m_outputs;
    // Called on every progress message after it was recorded.
    std::function<void(const TaskUpdate&)> m_onProgress;
};

}  // namespace tolvex::test
