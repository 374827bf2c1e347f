// Every sample rate the parameter dialog offers for a format gives a playable file with
// that rate: the lists hold only what the format's encoder and container accept.

#include "CliRun.h"
#include "media/ParamOptionTable.h"
#include "tests/support/TestMedia.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::test;

namespace {

struct RateChoice {
    std::string format;
    std::string rate;  // "22050Hz"
};

std::vector<RateChoice> AllOfferedRates()
{
    std::vector<RateChoice> choices;
    const ParamOptionTable table;
    for (const std::string& format : table.formats()) {
        for (const ParamOption& option : table.options(ParamList::SampleRate, format))
            choices.push_back({format, option.text});
    }
    return choices;
}

class SampleRateChoice : public ::testing::TestWithParam<RateChoice> {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        ASSERT_TRUE(MakeClip(s_media->filePath("in.mp4"), Clip(176, 144, 0.5)));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static QTemporaryDir* s_media;
};

QTemporaryDir* SampleRateChoice::s_media = nullptr;

}  // namespace

TEST_P(SampleRateChoice, GivesAFileAtThatRate)
{
    const RateChoice& choice = GetParam();
    QTemporaryDir out;
    const CliResult r =
        RunCli({QStringLiteral("convert"), QStringLiteral("--format"), QString::fromStdString(choice.format),
                QStringLiteral("--ar"), QString::fromStdString(choice.rate), QStringLiteral("--output-dir"), out.path(),
                s_media->filePath("in.mp4")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const QString file = SingleFileIn(out.path(), QStringLiteral("in-*.") + QString::fromStdString(choice.format));
    ASSERT_FALSE(file.isEmpty());
    const ProbedFile probed = ProbeFile(file);
    ASSERT_TRUE(probed.hasAudio);
    EXPECT_EQ(probed.sampleRate, std::stoi(choice.rate));
}

INSTANTIATE_TEST_SUITE_P(EveryOfferedRate, SampleRateChoice, ::testing::ValuesIn(AllOfferedRates()),
                         [](const auto& info) { return info.param.format + "_" + info.param.rate; });
