// tolvex-cli's progress lines carry the time left once it can be told, and its done lines
// what the job took, after the fields scripts already read.

#include "tests/cli/CliRun.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvex::test {
namespace {

TEST(CliTimeLeft, ProgressLinesEndWithTheTimeLeftAndTheDoneLineWithTheTimeTaken)
{
    QTemporaryDir media;
    QTemporaryDir out;
    const QString input = media.filePath(QStringLiteral("in.mp4"));
    // Quick to make, a few seconds to convert to H.264.
    ClipShape shape = Clip(1280, 720, 12.0);
    shape.codec = VideoCodec::Mpeg4;
    ASSERT_TRUE(MakeClip(input, shape));

    const CliResult r = RunCli({QStringLiteral("convert"), QStringLiteral("--output-dir"), out.path(), input});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    // The percentage stays where it was; the time left follows it.
    const QRegularExpression left(QStringLiteral("^convert 0 in\\.mp4: (\\d+)%, (\\d+):(\\d\\d) left$"),
                                  QRegularExpression::MultilineOption);
    std::vector<int> seconds;
    for (auto it = left.globalMatch(r.out); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        seconds.push_back(m.captured(2).toInt() * 60 + m.captured(3).toInt());
    }
    ASSERT_GE(seconds.size(), 2u) << qPrintable(r.out);
    EXPECT_LT(seconds.back(), seconds.front()) << qPrintable(r.out);
    // The first lines come before the estimate has warmed up: the percentage alone.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^convert 0 in\\.mp4: \\d+%$"), QRegularExpression::MultilineOption)
                    .match(r.out)
                    .hasMatch())
        << qPrintable(r.out);
    const QRegularExpression done(QStringLiteral("^convert 0 in\\.mp4: done -> (.+\\.mp4), took (\\d+):(\\d\\d)$"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch finished = done.match(r.out);
    ASSERT_TRUE(finished.hasMatch()) << qPrintable(r.out);
    EXPECT_GE(finished.captured(2).toInt() * 60 + finished.captured(3).toInt(), 1);
    const ProbedFile written = ProbeFile(finished.captured(1));
    EXPECT_TRUE(written.hasVideo);
    EXPECT_NEAR(written.duration, 12.0, 0.5);
}

}  // namespace
}  // namespace tolvex::test
