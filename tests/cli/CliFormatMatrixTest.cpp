// Converting to each output format the program offers, with and without the parameter
// dialog's defaults, gives a file that ffprobe reads with its picture and its sound.

#include "CliRun.h"
#include "media/ResolutionTable.h"
#include "tests/support/TestMedia.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::test;

namespace {

class FormatMatrix : public ::testing::TestWithParam<std::tuple<std::string, bool>> {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        ASSERT_TRUE(MakeClip(s_media->filePath("in.mp4"), Clip(640, 360, 1.0)));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static QTemporaryDir* s_media;
};

QTemporaryDir* FormatMatrix::s_media = nullptr;

}  // namespace

TEST_P(FormatMatrix, ConvertedFilePlays)
{
    const auto& [format, withParams] = GetParam();
    QTemporaryDir out;
    QStringList args = {QStringLiteral("convert"), QStringLiteral("--format"), QString::fromStdString(format),
                        QStringLiteral("--output-dir"), out.path()};
    if (withParams)
        args << QStringLiteral("--params");
    args << s_media->filePath("in.mp4");
    const CliResult r = RunCli(args);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));

    // The playlist format writes its segments beside it; the file named is the playlist.
    const QString file = SingleFileIn(out.path(), QStringLiteral("in-*.") + QString::fromStdString(format));
    ASSERT_FALSE(file.isEmpty());
    const ProbedFile probed = ProbeFile(file);
    EXPECT_TRUE(probed.ok);
    EXPECT_TRUE(probed.hasVideo);
    EXPECT_TRUE(probed.hasAudio);
    EXPECT_GT(probed.width, 0);
    EXPECT_NEAR(probed.duration, 1.0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, FormatMatrix,
                         ::testing::Combine(::testing::ValuesIn(ResolutionTable::convertFormats()), ::testing::Bool()),
                         [](const auto& info) {
                             return std::get<0>(info.param) + (std::get<1>(info.param) ? "_params" : "_plain");
                         });
