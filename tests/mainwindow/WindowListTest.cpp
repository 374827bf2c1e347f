// The window's list controls without running jobs: the convert item's format box, the
// compress estimate, the merge page's moves and select-all box, the start buttons'
// refusals, the output folder's write test, and how the task messages show on the items.

#include "app/Helpers.h"
#include "app/Settings.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/OutputFolderControls.h"
#include "ui/main/PageItemControls.h"
#include "ui/main/PageTasks.h"
#include "ui/main/ParamSettingDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTest>

namespace tolvex::test {
namespace {

using WindowListTest = WindowTest;

void Post(CMainWnd& window, int number, std::unique_ptr<MessageRecord> record)
{
    PostMessageTo(&window, number, std::move(record));
    QCoreApplication::sendPostedEvents(&window);
}

std::unique_ptr<ProgressRecord> Progress(PageKind page, TaskId id, int32_t positionMs, int32_t durationMs)
{
    auto record = std::make_unique<ProgressRecord>();
    record->taskId = id;
    record->pageKind = static_cast<int32_t>(page);
    record->positionMs = positionMs;
    record->durationMs = durationMs;
    return record;
}

TEST(WindowItemRules, OutputNamesAndCompressEstimates)
{
    EXPECT_EQ(ReplaceExtension(QStringLiteral("clip-140509.mp4"), QStringLiteral("3gp")),
              QStringLiteral("clip-140509.3gp"));
    EXPECT_EQ(ReplaceExtension(QStringLiteral("a.b.c.mp4"), QStringLiteral("avi")), QStringLiteral("a.b.c.avi"));
    EXPECT_EQ(ReplaceExtension(QStringLiteral("plain"), QStringLiteral("avi")), QStringLiteral("plain.avi"));
    const int64_t hundredMb = 100LL * 1024 * 1024;
    // 100 counts as 99: one hundredth of the source remains.
    EXPECT_EQ(CompressEstimateBytes(hundredMb, 100), CompressEstimateBytes(hundredMb, 99));
    EXPECT_EQ(CompressEstimateBytes(hundredMb, 99), hundredMb / 100);
    EXPECT_EQ(CompressEstimateBytes(hundredMb, 0), hundredMb);
    EXPECT_EQ(CompressEstimateBytes(3000001, 50), 1500000);
}

TEST_F(WindowListTest, ChoosingAFormatRenamesRefillsSizesAndDropsParameters)
{
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("fmt.mp4"))});
    QWidget* item = itemAt(PageKind::Convert, 0);
    const TaskId id = idAt(PageKind::Convert, 0);
    auto* format = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-format"));
    auto* ratio = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-ratio"));
    ASSERT_TRUE(format && ratio);
    const QString stem = textIn(item, "output-filename").section(QLatin1Char('.'), 0, 0);

    auto record = std::make_unique<OutputParamsRecord>();
    record->params.taskId = id;
    record->params.videoCodec = "h264";
    Post(window(), WM_OUTPUT_PARAMS, std::move(record));
    ASSERT_TRUE(tasks().outputParams().find(id).has_value());

    format->setCurrentText(QStringLiteral("3gp"));
    EXPECT_EQ(textIn(item, "output-filename"), stem + QStringLiteral(".3gp"));
    EXPECT_FALSE(tasks().outputParams().find(id).has_value()) << "parameters of the old format are dropped";
    EXPECT_EQ(ratio->count(), 5);
    EXPECT_EQ(ratio->currentText(), QStringLiteral("352x288"));

    format->setCurrentText(QStringLiteral("mp4"));
    EXPECT_EQ(ratio->count(), 7);
    EXPECT_EQ(ratio->currentText(), QStringLiteral("自动"));
    EXPECT_EQ(textIn(item, "output-filename"), stem + QStringLiteral(".mp4"));
}

TEST_F(WindowListTest, CompressSliderShowsTheEstimatedSize)
{
    const QString path = Clip(QStringLiteral("est.mp4"));
    addAndWait(PageKind::Compress, {path});
    QWidget* item = itemAt(PageKind::Compress, 0);
    const int64_t size = window().mediaItems().get(idAt(PageKind::Compress, 0)).fileSize;
    ASSERT_GT(size, 0);
    auto* slider = FindSubControlAs<QSlider>(item, QStringLiteral("video-compress-slider"));
    ASSERT_NE(slider, nullptr);
    slider->setValue(100);
    EXPECT_EQ(textIn(item, "video-compress-label"), FormatFileSize(size / 100));
    slider->setValue(20);
    EXPECT_EQ(textIn(item, "video-compress-label"), FormatFileSize(static_cast<int64_t>(size * 80 / 100.0)));
}

TEST_F(WindowListTest, MergeMovesSwapFilesWhileRowsKeepTheirMarks)
{
    const QStringList files = {Clip(QStringLiteral("r1.mp4"), 1.0), Clip(QStringLiteral("r2.mp4"), 2.0),
                               Clip(QStringLiteral("r3.mp4"), 3.0)};
    addAndWait(PageKind::Merge, files);
    auto box = [&](int row) {
        return FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, row), QStringLiteral("merge-check-box-item"));
    };
    auto button = [&](int row, const char* name) {
        return FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, row), QString::fromLatin1(name));
    };
    const TaskId top = idAt(PageKind::Merge, 0);
    for (int row = 0; row < 3; ++row)
        box(row)->setChecked(row == 0);

    button(0, "move-down-btn")->click();
    EXPECT_TRUE(box(0)->isChecked()) << "the mark stays with the row";
    EXPECT_FALSE(box(1)->isChecked());
    EXPECT_EQ(idAt(PageKind::Merge, 0), top) << "rows keep their ids";
    EXPECT_EQ(textIn(itemAt(PageKind::Merge, 0), "video-filename"), QStringLiteral("r2.mp4"));
    EXPECT_EQ(textIn(itemAt(PageKind::Merge, 0), "video-duration"), QStringLiteral("00:00:02"));
    EXPECT_EQ(textIn(itemAt(PageKind::Merge, 1), "video-filename"), QStringLiteral("r1.mp4"));
    EXPECT_EQ(window().mediaItems().get(top).fileName, QStringLiteral("r2.mp4"));
    // The name's tool tip follows the file the row now shows.
    EXPECT_EQ(FindSubControl(itemAt(PageKind::Merge, 0), QStringLiteral("video-filename"))->toolTip(), files[1]);
    EXPECT_EQ(FindSubControl(itemAt(PageKind::Merge, 1), QStringLiteral("video-filename"))->toolTip(), files[0]);

    // The middle file moved up twice: at the top after the first click, then nothing.
    button(1, "move-up-btn")->click();
    EXPECT_EQ(textIn(itemAt(PageKind::Merge, 0), "video-filename"), QStringLiteral("r1.mp4"));
    button(0, "move-up-btn")->click();
    EXPECT_EQ(textIn(itemAt(PageKind::Merge, 0), "video-filename"), QStringLiteral("r1.mp4"));
    button(2, "move-down-btn")->click();
    EXPECT_EQ(textIn(itemAt(PageKind::Merge, 2), "video-filename"), QStringLiteral("r3.mp4"));

    auto* all = window().findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all"));
    all->click();
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(box(row)->isChecked());
    all->click();
    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(box(row)->isChecked());

    button(1, "video-merge-remove-btn")->click();
    EXPECT_EQ(window().pageList(PageKind::Merge)->count(), 2);
    window().findControlAs<QAbstractButton>(QStringLiteral("clear-merge-list-btn"))->click();
    EXPECT_EQ(window().pageList(PageKind::Merge)->count(), 0);
    EXPECT_EQ(ControlText(window().FindControl(QStringLiteral("video-merge-progress-label"))), QStringLiteral("0%"));
    EXPECT_EQ(window().mediaItems().size(), 0u);
}

TEST_F(WindowListTest, StartButtonsRefuseWhatCannotRun)
{
    QString text;
    AnswerNextBox(&text);
    window().startButton(PageKind::Convert)->click();
    EXPECT_EQ(text, QStringLiteral("请先添加文件!"));
    EXPECT_FALSE(tasks().engine().isPageBusy(PageKind::Convert));

    addAndWait(PageKind::Music, {Clip(QStringLiteral("mu.mp4"))});
    text.clear();
    AnswerNextBox(&text);
    window().startButton(PageKind::Music)->click();
    EXPECT_EQ(text, QStringLiteral("请先选择背景音乐文件!"));
    EXPECT_FALSE(tasks().engine().isPageBusy(PageKind::Music));

    text.clear();
    AnswerNextBox(&text);
    window().startButton(PageKind::Merge)->click();
    EXPECT_EQ(text, QStringLiteral("请选择要合并视频文件!"));
    addAndWait(PageKind::Merge, {Clip(QStringLiteral("mu.mp4")), Clip(QStringLiteral("mu.mp4"))});
    FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, 1), QStringLiteral("merge-check-box-item"))
        ->setChecked(false);
    FindSubControlAs<QAbstractButton>(itemAt(PageKind::Merge, 0), QStringLiteral("merge-check-box-item"))
        ->setChecked(true);
    text.clear();
    AnswerNextBox(&text);
    window().startButton(PageKind::Merge)->click();
    EXPECT_EQ(text, QStringLiteral("至少需要选择2个视频文件!"));
    EXPECT_FALSE(tasks().engine().isPageBusy(PageKind::Merge));
}

TEST_F(WindowListTest, OutputFolderMustTakeAFile)
{
    auto* folders = window().handler<OutputFolderControls>();
    ASSERT_NE(folders, nullptr);
    QLineEdit* edit = window().outputFolderEdit();
    const QString before = edit->text();

    QString text;
    AnswerNextBox(&text);
    // Not even root may create a file in /proc.
    EXPECT_FALSE(folders->useFolder(QStringLiteral("/proc")));
    EXPECT_EQ(text, QStringLiteral("该目录没有写入权限!"));
    EXPECT_EQ(edit->text(), before);
    QString stored;
    ReadSetting(QStringLiteral("global"), QStringLiteral("output-dir"), QString(), stored, 1024);
    EXPECT_EQ(stored, before);

    QTemporaryDir other;
    // Something the user left under the old test name does not make the test fail.
    ASSERT_TRUE(QDir(other.path()).mkdir(QStringLiteral("tolvexTmp")));
    EXPECT_TRUE(folders->useFolder(other.path()));
    EXPECT_EQ(edit->text(), other.path());
    EXPECT_EQ(edit->toolTip(), other.path()) << "the tool tip follows the new folder";
    ASSERT_TRUE(QDir(other.path()).rmdir(QStringLiteral("tolvexTmp")));
    ReadSetting(QStringLiteral("global"), QStringLiteral("output-dir"), QString(), stored, 1024);
    EXPECT_EQ(stored, other.path());
    EXPECT_TRUE(QDir(other.path()).isEmpty()) << "the test file is deleted";
}

TEST_F(WindowListTest, TaskMessagesMoveTheItemsBarsAndMarks)
{
    addAndWait(PageKind::Convert, {Clip(QStringLiteral("pv1.mp4")), Clip(QStringLiteral("pv2.mp4"))});
    QWidget* item = itemAt(PageKind::Convert, 0);
    const TaskId id = idAt(PageKind::Convert, 0);
    auto* bar = FindSubControlAs<QProgressBar>(item, QStringLiteral("video-convert-progress"));
    ASSERT_NE(bar, nullptr);

    Post(window(), WM_TASK_PROGRESS, Progress(PageKind::Convert, id, 31250, 62500));
    EXPECT_EQ(bar->value(), 50);
    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("50%"));
    Post(window(), WM_TASK_PROGRESS, Progress(PageKind::Convert, id, 999, 1000));
    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("99%"));
    // Past the end: held to 100.
    Post(window(), WM_TASK_PROGRESS, Progress(PageKind::Convert, id, 1500, 1000));
    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("100%"));
    EXPECT_EQ(bar->value(), bar->maximum());
    // No duration reported: 0, not garbage.
    Post(window(), WM_TASK_PROGRESS, Progress(PageKind::Convert, id, 1500, 0));
    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("0%"));

    auto failure = std::make_unique<FailureRecord>();
    failure->taskId = id;
    failure->pageKind = static_cast<int32_t>(PageKind::Convert);
    Post(window(), WM_TASK_FAILED, std::move(failure));
    EXPECT_TRUE(FindSubControl(item, QStringLiteral("video-progress-error"))->isVisibleTo(item));
    EXPECT_FALSE(bar->isVisibleTo(item));

    auto started = std::make_unique<TaskStartRecord>();
    started->taskId = id;
    started->pageKind = static_cast<int32_t>(PageKind::Convert);
    Post(window(), WM_TASK_STARTED, std::move(started));
    EXPECT_FALSE(FindSubControl(item, QStringLiteral("video-progress-error"))->isVisibleTo(item));
    EXPECT_TRUE(bar->isVisibleTo(item));
    EXPECT_EQ(textIn(item, "video-progress-label"), QStringLiteral("0%"));

    // A completion for an item that was removed meanwhile leaves the others alone.
    QWidget* other = itemAt(PageKind::Convert, 1);
    const QString otherLabel = textIn(other, "video-progress-label");
    FindSubControlAs<QAbstractButton>(item, QStringLiteral("video-remove-btn"))->click();
    auto done = std::make_unique<CompletionRecord>();
    done->taskId = id;
    done->pageKind = static_cast<int32_t>(PageKind::Convert);
    done->progress = Progress(PageKind::Convert, id, 1000, 1000);
    Post(window(), WM_TASK_DONE, std::move(done));
    EXPECT_EQ(textIn(other, "video-progress-label"), otherLabel);
    EXPECT_EQ(window().pageList(PageKind::Convert)->count(), 1);
}

}  // namespace
}  // namespace tolvex::test
