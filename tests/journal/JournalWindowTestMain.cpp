// The journal's window tests: skinned windows on Qt's offscreen platform unless the
// environment chooses one. Started with TOLVEX_JOURNAL_CHILD set, the program lives the
// window's first life instead (JournalChildLife.h) until the test that started it kills it.

#include "tests/app/TestEnv.h"
#include "tests/journal/JournalChildLife.h"
#include "ui/common/WndShadow.h"
#include "ui/framework/SkinResources.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString scenario = qEnvironmentVariable(tolvex::test::kChildScenarioVariable);
    // The child keeps the home its test gave it.
    std::unique_ptr<tolvex::test::ScopedHome> home;
    if (scenario.isEmpty())
        home = std::make_unique<tolvex::test::ScopedHome>();
    QApplication app(argc, argv);
    tolvex::SkinResources::setSkinFolder(QStringLiteral(TOLVEX_SKIN_DIR));
    tolvex::CWndShadow::RegisterShadowClass();
    if (!scenario.isEmpty())
        return tolvex::test::RunJournalChildLife(scenario, qEnvironmentVariable(tolvex::test::kChildMediaVariable));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
