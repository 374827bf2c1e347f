// The rotate job run for real: a frame with a red top-left corner on a wide blue picture goes
// through each of the eight turns and mirrors the rotate page offers; the output's size and
// where the red corner ended up are read back from a decoded frame.

#include "tasks/FfmpegLocator.h"
#include "tasks/SingleInputCommands.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvex {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 48;
constexpr int kBox = 16;  // side of the red square in the top-left corner

enum class Corner { TopLeft, TopRight, BottomLeft, BottomRight };

struct Frame {
    int width = 0;
    int height = 0;
    QByteArray rgb;  // rgb24, rows top to bottom

    bool redAt(int x, int y) const
    {
        const qsizetype at = (qsizetype(y) * width + x) * 3;
        const auto r = static_cast<unsigned char>(rgb[at]);
        const auto g = static_cast<unsigned char>(rgb[at + 1]);
        const auto b = static_cast<unsigned char>(rgb[at + 2]);
        return r > 160 && g < 90 && b < 90;
    }
    // A point well inside the given corner, clear of the chroma blur at the square's edge.
    bool redIn(Corner corner) const
    {
        const int inset = kBox / 4;
        const bool right = corner == Corner::TopRight || corner == Corner::BottomRight;
        const bool bottom = corner == Corner::BottomLeft || corner == Corner::BottomRight;
        return redAt(right ? width - 1 - inset : inset, bottom ? height - 1 - inset : inset);
    }
};

// The first frame of `path` decoded to raw rgb24.
Frame FirstFrame(const QString& path, const QString& rawPath)
{
    Frame frame;
    const test::ProbedFile probed = test::ProbeFile(path);
    if (!probed.hasVideo)
        return frame;
    if (!test::RunFfmpeg({"-loglevel", "error", "-i", path.toStdString(), "-frames:v", "1", "-f", "rawvideo",
                          "-pix_fmt", "rgb24", rawPath.toStdString()}))
        return frame;
    QFile raw(rawPath);
    if (!raw.open(QIODevice::ReadOnly))
        return frame;
    frame.width = probed.width;
    frame.height = probed.height;
    frame.rgb = raw.readAll();
    if (frame.rgb.size() != qsizetype(frame.width) * frame.height * 3)
        frame = {};
    return frame;
}

TEST(RotatePicture, EachTurnAndMirrorMovesTheCornerAndSwapsTheSidesAsItsLabelSays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString input = dir.filePath(QStringLiteral("corner.mkv"));
    const std::string source = "color=c=blue:s=" + std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                               ":r=5:d=0.4,drawbox=x=0:y=0:w=" + std::to_string(kBox) + ":h=" + std::to_string(kBox) +
                               ":color=red:t=fill";
    ASSERT_TRUE(test::RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i", source, "-c:v", "ffv1", "-pix_fmt",
                                 "yuv444p", input.toStdString()}));
    const Frame original = FirstFrame(input, dir.filePath(QStringLiteral("original.rgb")));
    ASSERT_EQ(original.width, kWidth);
    ASSERT_TRUE(original.redIn(Corner::TopLeft));
    ASSERT_FALSE(original.redIn(Corner::BottomRight));

    MediaItem item;
    item.fileName = QStringLiteral("corner.mkv");
    item.folder = dir.path();
    item.fullPath = input;

    struct Expected {
        const char* label;
        bool sidesSwapped;
        Corner red;
    };
    const Expected expected[] = {
        {"clockwise 90", true, Corner::TopRight},          {"clockwise 180", false, Corner::BottomRight},
        {"clockwise 270", true, Corner::BottomLeft},       {"anticlockwise 90", true, Corner::BottomLeft},
        {"anticlockwise 180", false, Corner::BottomRight}, {"anticlockwise 270", true, Corner::TopRight},
        {"horizontal mirror", false, Corner::TopRight},    {"vertical mirror", false, Corner::BottomLeft},
    };
    const Corner corners[] = {Corner::TopLeft, Corner::TopRight, Corner::BottomLeft, Corner::BottomRight};
    for (int index = 0; index < 8; ++index) {
        SCOPED_TRACE(expected[index].label);
        const QString folder = dir.filePath(QStringLiteral("out%1").arg(index));
        ASSERT_TRUE(QDir().mkpath(folder));
        const JobContext context{FfmpegProgramPath(), folder, QTime(9, 8, 7)};
        std::vector<std::string> argv = BuildRotateCommand(context, item, {index}).argv();
        ASSERT_GT(argv.size(), 1U);
        argv.erase(argv.begin());  // RunFfmpeg names the program itself
        ASSERT_TRUE(test::RunFfmpeg(argv));
        const QString output = test::SingleFileIn(folder, QStringLiteral("*.mkv"));
        ASSERT_FALSE(output.isEmpty());

        const Frame turned = FirstFrame(output, dir.filePath(QStringLiteral("turned%1.rgb").arg(index)));
        ASSERT_FALSE(turned.rgb.isEmpty());
        EXPECT_EQ(turned.width, expected[index].sidesSwapped ? kHeight : kWidth);
        EXPECT_EQ(turned.height, expected[index].sidesSwapped ? kWidth : kHeight);
        for (Corner corner : corners)
            EXPECT_EQ(turned.redIn(corner), corner == expected[index].red) << "corner " << int(corner);
    }
}

}  // namespace
}  // namespace tolvex
