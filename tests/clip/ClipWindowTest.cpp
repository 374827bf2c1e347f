// The split and GIF pages at work: the add button opens the dialog on the picked file, the
// dialog is driven by its control names, the confirmed clips become page items with
// consecutive task ids, and starting the page runs the real ffmpeg on them.

#include "tasks/ClipRecords.h"
#include "tests/clip/ClipTestSupport.h"
#include "tests/mainwindow/WindowTestSupport.h"
#include "tests/media/TestMux.h"
#include "tests/support/TestMedia.h"
#include "ui/clip/CVideoMask.h"
#include "ui/clip/VideoGifDialog.h"
#include "ui/clip/VideoSplitDialog.h"
#include "ui/framework/CListUI.h"
#include "ui/main/MediaAdder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

namespace tolvex::test {
namespace {

class ClipWindowTest : public WindowTest {
protected:
    // Clicks the page's add button with `source` as the picked file; `steps` drive the
    // dialog while it runs modally (it opens once the import has probed the file).
    // Returns once the dialog closed.
    void openDialog(const char* addButton, const char* windowClass, const QString& source,
                    std::function<void(ClipDialog*)> steps)
    {
        adder().setClipSourcePicker([source](PageKind) { return source; });
        bool ran = false;
        WhenWindowOpens(QString::fromUtf8(windowClass), [&](QWidget* window) {
            auto* dialog = qobject_cast<ClipDialog*>(window);
            ASSERT_TRUE(dialog);
            dialog->setPrompt([](QWidget*, const QString& text) { ADD_FAILURE() << text.toStdString(); });
            ASSERT_TRUE(WaitFor([&] { return dialog->player() && dialog->pollRunning(); }, 10000));
            steps(dialog);
            ran = true;
        });
        auto* button = window().findControlAs<QAbstractButton>(QLatin1String(addButton));
        ASSERT_TRUE(button);
        button->click();
        ASSERT_TRUE(WaitFor([&] { return ran; }, 60000));
        ASSERT_TRUE(WaitFor([&] { return !QApplication::activeModalWidget(); }, 10000));
    }

    static void addClip(ClipDialog* dialog, const char* addButton, const char* start, const char* end)
    {
        dialog->startEdit()->setText(QLatin1String(start));
        dialog->endEdit()->setText(QLatin1String(end));
        dialog->findControlAs<QAbstractButton>(QLatin1String(addButton))->click();
    }

    static QAbstractButton* buttonOf(ClipDialog* dialog, const char* name)
    {
        return dialog->findControlAs<QAbstractButton>(QLatin1String(name));
    }
};

TEST_F(ClipWindowTest, SplitClipsDrawnInTheDialogRunAsJobs)
{
    const QString source = TenSecondClip();
    CropRect crop;
    openDialog("add-video-split-btn", "视频分割", source, [&](ClipDialog* dialog) {
        addClip(dialog, "add-video-split-btn", "00:00:02", "00:00:05");
        buttonOf(dialog, "cut-video-btn")->click();
        CVideoMask* mask = static_cast<VideoSplitDialog*>(dialog)->overlay();
        ASSERT_TRUE(mask);
        const CropRect r = mask->editor().roiRect();
        const QPoint corner(r.x + r.width, r.y + r.height);
        DragAlong(mask, corner, corner + QPoint(50, 30));
        addClip(dialog, "add-video-split-btn", "00:00:06", "00:00:08");
        ASSERT_EQ(dialog->clips().size(), 2U);
        const SplitClip& cropped = dialog->clips()[1];
        crop = {cropped.cropX, cropped.cropY, cropped.cropWidth, cropped.cropHeight};
        buttonOf(dialog, "video-split-confirm-btn")->click();
    });
    // The default half-size rectangle, made larger by the drag.
    EXPECT_GT(crop.width, 160);
    EXPECT_GT(crop.height, 120);

    CListUI* list = window().pageList(PageKind::Split);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 2; }, 10000));
    EXPECT_EQ(idAt(PageKind::Split, 1), idAt(PageKind::Split, 0) + 1);
    EXPECT_EQ(textIn(itemAt(PageKind::Split, 0), "fileSliceLabel"), QStringLiteral("00:00:02 - 00:00:05"));
    EXPECT_EQ(textIn(itemAt(PageKind::Split, 1), "durationLabel"), QStringLiteral("00:00:02"));
    EXPECT_EQ(SplitClipList().size(), 0U);

    ASSERT_TRUE(startAndWaitIdle(PageKind::Split));
    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 2) << files.join(QLatin1Char(',')).toStdString();
    std::vector<ProbedFile> outputs;
    for (const QString& file : files)
        outputs.push_back(ProbeFile(QDir(outputFolder()).filePath(file)));
    std::sort(outputs.begin(), outputs.end(),
              [](const ProbedFile& a, const ProbedFile& b) { return a.duration > b.duration; });
    EXPECT_NEAR(outputs[0].duration, 3.0, 0.3);
    EXPECT_EQ(outputs[0].width, 320);
    EXPECT_EQ(outputs[0].height, 240);
    EXPECT_NEAR(outputs[1].duration, 2.0, 0.3);
    EXPECT_EQ(outputs[1].width, crop.width);
    EXPECT_EQ(outputs[1].height, crop.height);
}

// A colour of the quartered picture as the encoder gives it back (close, not exact).
::testing::AssertionResult Near(unsigned colour, QRgb wanted)
{
    if (std::abs(qRed(colour) - qRed(wanted)) < 70 && std::abs(qGreen(colour) - qGreen(wanted)) < 70 &&
        std::abs(qBlue(colour) - qBlue(wanted)) < 70)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour " << QColor(colour).name().toStdString() << ", not "
                                         << QColor(wanted).name().toStdString();
}

TEST_F(ClipWindowTest, PhoneVideosCutFromTheDialogAreUprightAndShowTheChosenRegion)
{
    const QRgb red = qRgb(255, 0, 0);
    const QRgb green = qRgb(0, 128, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255);
    QTemporaryDir media;
    for (const int turn : {90, 180, 270}) {
        const QString source = media.filePath(QStringLiteral("phone-%1.mp4").arg(turn));
        ASSERT_TRUE(MakeQuadrantPhoneVideo(source.toStdString(), turn, media.path().toStdString()));
        openDialog("add-video-split-btn", "视频分割", source, [&](ClipDialog* dialog) {
            // The first second whole, the next one cropped to the picture's top right
            // quarter: the rectangle is dragged by its middle into that corner.
            addClip(dialog, "add-video-split-btn", "00:00:00", "00:00:01");
            buttonOf(dialog, "cut-video-btn")->click();
            CVideoMask* mask = static_cast<VideoSplitDialog*>(dialog)->overlay();
            ASSERT_TRUE(mask);
            const CropRect r = mask->editor().roiRect();
            DragAlong(mask, QPoint(r.x + r.width / 2, r.y + r.height / 2), QPoint(mask->width() - 3, 3));
            addClip(dialog, "add-video-split-btn", "00:00:01", "00:00:02");
            ASSERT_EQ(dialog->clips().size(), 2U);
            buttonOf(dialog, "video-split-confirm-btn")->click();
        });
    }
    ASSERT_TRUE(WaitFor([&] { return window().pageList(PageKind::Split)->count() == 6; }, 10000));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Split));

    const QStringList files = outputFiles();
    ASSERT_EQ(files.size(), 6) << files.join(QLatin1Char(',')).toStdString();
    int whole = 0;
    int cropped = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString path = QDir(outputFolder()).filePath(file);
        const ProbedFile probed = ProbeFile(path);
        EXPECT_NEAR(probed.duration, 1.0, 0.3);
        if (probed.width == 240 && probed.height == 320) {
            // Upright, every quarter in its place.
            ++whole;
            EXPECT_TRUE(Near(PictureColourAt(path, 0.25, 0.25), red));
            EXPECT_TRUE(Near(PictureColourAt(path, 0.75, 0.25), green));
            EXPECT_TRUE(Near(PictureColourAt(path, 0.25, 0.75), blue));
            EXPECT_TRUE(Near(PictureColourAt(path, 0.75, 0.75), white));
        } else {
            // The top right quarter, upright.
            ++cropped;
            EXPECT_NEAR(probed.width, 120, 8);
            EXPECT_NEAR(probed.height, 160, 8);
            EXPECT_TRUE(Near(PictureColourAt(path, 0.5, 0.5), green));
            EXPECT_TRUE(Near(PictureColourAt(path, 0.9, 0.1), green));
        }
    }
    EXPECT_EQ(whole, 3);
    EXPECT_EQ(cropped, 3);
}

TEST_F(ClipWindowTest, GifClipsFromTheDialogBecomeGifFiles)
{
    const QString source = TenSecondClip();
    openDialog("add-video-gif-btn", "视频转GIF", source, [&](ClipDialog* dialog) {
        addClip(dialog, "add-video-gif-btn", "00:00:01", "00:00:03");
        ASSERT_EQ(dialog->clips().size(), 1U);
        buttonOf(dialog, "video-gif-confirm-btn")->click();
    });
    CListUI* list = window().pageList(PageKind::Gif);
    ASSERT_TRUE(WaitFor([&] { return list->count() == 1; }, 10000));
    ASSERT_TRUE(startAndWaitIdle(PageKind::Gif));
    const QString gif = SingleFileIn(outputFolder(), QStringLiteral("*.gif"));
    ASSERT_FALSE(gif.isEmpty()) << outputFiles().join(QLatin1Char(',')).toStdString();
    const ProbedFile probed = ProbeFile(gif);
    EXPECT_EQ(probed.formatName, QStringLiteral("gif"));
    EXPECT_NEAR(probed.duration, 2.0, 0.3);
}

TEST_F(ClipWindowTest, CancelAddsNothing)
{
    openDialog("add-video-split-btn", "视频分割", TenSecondClip(), [&](ClipDialog* dialog) {
        addClip(dialog, "add-video-split-btn", "00:00:02", "00:00:05");
        buttonOf(dialog, "video-split-cancel-btn")->click();
    });
    Pump(200);
    EXPECT_EQ(window().pageList(PageKind::Split)->count(), 0);
    EXPECT_EQ(SplitClipList().size(), 0U);
}

}  // namespace
}  // namespace tolvex::test
