// The split and GIF pages at work: the add button opens the dialog on the picked file, the
// dialog is driven by its control names, the confirmed clips become page items with
// consecutive task ids, and starting the page runs the real ffmpeg on them.

#include "tasks/ClipRecords.h"
#include "tests/clip/ClipTestSupport.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/support/TestMedia.h"
#include "ui/clip/CVideoMask.h"
#include "ui/clip/VideoGifDialog.h"
#include "ui/clip/VideoSplitDialog.h"
#include "ui/framework/CListUI.h"
#include "ui/main/MediaAdder.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>

namespace tolvex::test {
namespace {

class ClipWindowTest : public WindowTest {
protected:
    // Clicks the page's add button with `source` as the picked file; `steps` drive the
    // dialog while it runs modally. Returns once the dialog closed.
    void OpenDialog(const char* addButton, const char* windowClass, const QString& source,
                    std::function<void(ClipDialog*)> steps)
    {
        Adder().SetClipSourcePicker([source](PageKind) { return source; });
        bool ran = false;
        WhenWindowOpens(QString::fromUtf8(windowClass), [&](QWidget* window) {
            auto* dialog = qobject_cast<ClipDialog*>(window);
            ASSERT_TRUE(dialog);
            dialog->SetPrompt([](QWidget*, const QString& text) { ADD_FAILURE() << text.toStdString(); });
            ASSERT_TRUE(WaitFor([&] { return dialog->player() && dialog->pollRunning(); }, 10000));
            steps(dialog);
            ran = true;
        });
        auto* button = Window().FindControlAs<QAbstractButton>(QLatin1String(addButton));
        ASSERT_TRUE(button);
        button->click();
        ASSERT_TRUE(ran);
    }

    static void AddClip(ClipDialog* dialog, const char* addButton, const char* start, const char* end)
    {
        dialog->startEdit()->setText(QLatin1String(start));
        dialog->endEdit()->setText(QLatin1String(end));
        dialog->FindControlAs<QAbstractButton>(QLatin1String(addButton))->click();
    }

    static QAbstractButton* ButtonOf(ClipDialog* dialog, const char* name)
    {
        return dialog->FindControlAs<QAbstractButton>(QLatin1String(name));
    }
};

TEST_F(ClipWindowTest, SplitClipsDrawnInTheDialogRunAsJobs)
{
    const QString source = TenSecondClip();
    CropRect crop;
    OpenDialog("add-video-split-btn", "视频分割", source, [&](ClipDialog* dialog) {
        AddClip(dialog, "add-video-split-btn", "00:00:02", "00:00:05");
        ButtonOf(dialog, "cut-video-btn")->click();
        CVideoMask* mask = static_cast<VideoSplitDialog*>(dialog)->overlay();
        ASSERT_TRUE(mask);
        const CropRect r = mask->editor().roiRect();
        const QPoint corner(r.x + r.width, r.y + r.height);
        DragAlong(mask, corner, corner + QPoint(50, 30));
        AddClip(dialog, "add-video-split-btn", "00:00:06", "00:00:08");
        ASSERT_EQ(dialog->clips().size(), 2U);
        const SplitClip& cropped = dialog->clips()[1];
        crop = {cropped.cropX, cropped.cropY, cropped.cropWidth, cropped.cropHeight};
        ButtonOf(dialog, "video-split-confirm-btn")->click();
    });
    // The default half-size rectangle, made larger by the drag.
    EXPECT_GT(crop.width, 160);
    EXPECT_GT(crop.height, 120);

    CListUI* list = Window().PageList(PageKind::Split);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 2; }, 10000));
    EXPECT_EQ(IdAt(PageKind::Split, 1), IdAt(PageKind::Split, 0) + 1);
    EXPECT_EQ(TextIn(ItemAt(PageKind::Split, 0), "fileSliceLabel"), QStringLiteral("00:00:02 - 00:00:05"));
    EXPECT_EQ(TextIn(ItemAt(PageKind::Split, 1), "durationLabel"), QStringLiteral("00:00:02"));
    EXPECT_EQ(SplitClipList().size(), 0U);

    ASSERT_TRUE(StartAndWaitIdle(PageKind::Split));
    const QStringList files = OutputFiles();
    ASSERT_EQ(files.size(), 2) << files.join(QLatin1Char(',')).toStdString();
    std::vector<ProbedFile> outputs;
    for (const QString& file : files)
        outputs.push_back(ProbeFile(QDir(OutputFolder()).filePath(file)));
    std::sort(outputs.begin(), outputs.end(),
              [](const ProbedFile& a, const ProbedFile& b) { return a.duration > b.duration; });
    EXPECT_NEAR(outputs[0].duration, 3.0, 0.3);
    EXPECT_EQ(outputs[0].width, 320);
    EXPECT_EQ(outputs[0].height, 240);
    EXPECT_NEAR(outputs[1].duration, 2.0, 0.3);
    EXPECT_EQ(outputs[1].width, crop.width);
    EXPECT_EQ(outputs[1].height, crop.height);
}

TEST_F(ClipWindowTest, GifClipsFromTheDialogBecomeGifFiles)
{
    const QString source = TenSecondClip();
    OpenDialog("add-video-gif-btn", "视频转GIF", source, [&](ClipDialog* dialog) {
        AddClip(dialog, "add-video-gif-btn", "00:00:01", "00:00:03");
        ASSERT_EQ(dialog->clips().size(), 1U);
        ButtonOf(dialog, "video-gif-confirm-btn")->click();
    });
    CListUI* list = Window().PageList(PageKind::Gif);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 1; }, 10000));
    ASSERT_TRUE(StartAndWaitIdle(PageKind::Gif));
    const QString gif = SingleFileIn(OutputFolder(), QStringLiteral("*.gif"));
    ASSERT_FALSE(gif.isEmpty()) << OutputFiles().join(QLatin1Char(',')).toStdString();
    const ProbedFile probed = ProbeFile(gif);
    EXPECT_EQ(probed.formatName, QStringLiteral("gif"));
    EXPECT_NEAR(probed.duration, 2.0, 0.3);
}

TEST_F(ClipWindowTest, CancelAddsNothing)
{
    OpenDialog("add-video-split-btn", "视频分割", TenSecondClip(), [&](ClipDialog* dialog) {
        AddClip(dialog, "add-video-split-btn", "00:00:02", "00:00:05");
        ButtonOf(dialog, "video-split-cancel-btn")->click();
    });
    Pump(200);
    EXPECT_EQ(Window().PageList(PageKind::Split)->count(), 0);
    EXPECT_EQ(SplitClipList().size(), 0U);
}

}  // namespace
}  // namespace tolvex::test
