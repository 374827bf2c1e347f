// A machine without ffmpeg: the window starts and lists files (probing needs no ffmpeg),
// but every job fails with the reason "ffmpeg not found", the user is told so once in a
// box, nothing is written and the page ends idle with its start button usable again.

#include "tasks/FfmpegLocator.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/Controls.h"
#include "ui/main/PageTasks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <string>

namespace tolvex::test {
namespace {

class NoFfmpegWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        // The clips are made with ffmpeg before it goes out of reach.
        m_clips = {Clip(QStringLiteral("nf1.mp4")), Clip(QStringLiteral("nf2.mp4"))};
        const char* path = std::getenv("PATH");
        m_savedPath = path ? path : "";
        ASSERT_TRUE(m_emptyBin.isValid());
        ::setenv("PATH", m_emptyBin.path().toLocal8Bit().constData(), 1);
        ASSERT_TRUE(FfmpegProgramPath().empty()) << "an ffmpeg beside the test program would hide the case";
        WindowTest::SetUp();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        ::setenv("PATH", m_savedPath.c_str(), 1);
    }

    QStringList m_clips;
    std::string m_savedPath;
    QTemporaryDir m_emptyBin;
};

TEST_F(NoFfmpegWindowTest, JobsFailWithTheReasonAndTheUserIsToldOnce)
{
    addAndWait(PageKind::Rotate, m_clips);
    QString told;
    AnswerNextBox(&told);
    QAbstractButton* start = window().startButton(PageKind::Rotate);
    start->click();
    ASSERT_TRUE(WaitFor([&] { return !tasks().engine().isPageBusy(PageKind::Rotate); }));
    ASSERT_TRUE(WaitFor([&] { return !told.isEmpty(); }, 10000)) << "no box told the user";
    EXPECT_TRUE(told.contains(QStringLiteral("ffmpeg"))) << told.toStdString();
    EXPECT_TRUE(outputFiles().isEmpty()) << outputFiles().join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(IsMouseEnabled(start));

    // A second start fails the same way without a second box. The box would be posted
    // through the event loop right after the failure, before the page turns idle; a marker
    // posted after the idle turn therefore runs after it, inside its modal loop if it came.
    start->click();
    ASSERT_TRUE(WaitFor([&] { return !tasks().engine().isPageBusy(PageKind::Rotate); }));
    bool looked = false;
    bool boxShown = false;
    QTimer::singleShot(0, [&] {
        looked = true;
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* confirm = qobject_cast<QAbstractButton*>(widget);
            if (confirm && confirm->objectName() == QLatin1String("msgConfirm") && confirm->isVisible()) {
                boxShown = true;
                confirm->click();
            }
        }
    });
    ASSERT_TRUE(WaitFor([&] { return looked; }));
    EXPECT_FALSE(boxShown) << "the missing ffmpeg was told a second time";
    EXPECT_TRUE(outputFiles().isEmpty());
}

}  // namespace
}  // namespace tolvex::test
