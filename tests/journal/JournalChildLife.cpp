#include "tests/journal/JournalChildLife.h"

#include "tasks/ClipRecords.h"
#include "tests/support/EventLoopWait.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/MediaAdder.h"
#include "ui/main/PageStartHandler.h"
#include "ui/main/PageTasks.h"
#include "ui/main/QueueJournalKeeper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>

#include <cstdio>

namespace tolvex::test {

namespace {

int Fail(const char* what)
{
    std::fprintf(stderr, "journal child: %s\n", what);
    return 2;
}

}  // namespace

int RunJournalChildLife(const QString& scenario, const QString& mediaFolder)
{
    const QDir media(mediaFolder);
    auto* window = new CMainWnd;
    if (!window->Create(nullptr, QStringLiteral("TOLVEX视频转换"), WS_OVERLAPPEDWINDOW))
        return Fail("no window");
    window->ShowWindow();
    StartQueueJournal(*window);
    MediaAdder* adder = window->handler<MediaAdder>();
    auto* start = window->handler<PageStartHandler>();

    adder->addFiles(PageKind::Convert,
                    {media.filePath(QStringLiteral("a.mp4")), media.filePath(QStringLiteral("b.mp4")),
                     media.filePath(QStringLiteral("c.mp4"))});
    if (!WaitFor([&] { return adder->pendingCount() == 0; }) || window->pageList(PageKind::Convert)->count() != 3)
        return Fail("convert items not listed");
    const bool mixed = scenario == QLatin1String("mixed");
    if (mixed) {
        adder->addFiles(PageKind::Merge,
                        {media.filePath(QStringLiteral("m1.mp4")), media.filePath(QStringLiteral("m2.mp4"))});
        if (!WaitFor([&] { return adder->pendingCount() == 0; }) || window->pageList(PageKind::Merge)->count() != 2)
            return Fail("merge items not listed");
        window->findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"))->click();

        SplitClip clip;
        clip.sourcePath = media.filePath(QStringLiteral("s.mp4")).toStdString();
        clip.outputName = SplitClipOutputName(clip.sourcePath, QTime::currentTime());
        clip.startText = kClipStart;
        clip.endText = kClipEnd;
        clip.cropEnabled = 1;
        clip.cropWidth = kClipCropWidth;
        clip.cropHeight = kClipCropHeight;
        SplitClipList().append(clip);
        adder->addClipItems(PageKind::Split);
    }

    start->StartPage(PageKind::Convert);
    if (mixed) {
        // The merge and the clip start while the second file converts.
        const auto second = static_cast<TaskId>(ControlTag(window->pageList(PageKind::Convert)->itemAt(1)));
        TaskEngine& engine = window->tasks().engine();
        if (!WaitFor([&] { return engine.runningTask(PageKind::Convert) == second; }, 120000))
            return Fail("the second file never ran");
        start->StartPage(PageKind::Merge);
        start->StartPage(PageKind::Split);
    }
    return QApplication::exec();
}

}  // namespace tolvex::test
