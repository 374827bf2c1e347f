#include "media/EncoderSupport.h"
#include "media/OutputParamsTable.h"
#include "media/ParamOptionTable.h"
#include "media/ResolutionTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace tolvex;

namespace {

std::vector<std::string> Texts(const ParamOptions& options)
{
    std::vector<std::string> texts;
    for (const auto& o : options)
        texts.push_back(o.text);
    return texts;
}

}  // namespace

TEST(ParamOptionTable, DefaultsOfMp4BecomeTheDescribedRecord)
{
    const ParamOptionTable table;
    const ParamChoices choices = table.defaultChoices("mp4");
    EXPECT_EQ(choices[0].text, "H.264");
    EXPECT_EQ(choices[1].text, "自动");
    EXPECT_EQ(choices[2].text, "AAC");
    EXPECT_EQ(choices[3].text, "44100Hz");
    EXPECT_EQ(choices[3].index, 4);
    EXPECT_EQ(choices[4].text, "自动");
    EXPECT_EQ(choices[5].text, "立体声");

    const OutputParams p = ParseOutputParams(5, choices);
    EXPECT_EQ(p.taskId, 5);
    EXPECT_EQ(p.videoCodec, "h264");
    EXPECT_EQ(p.audioCodec, "aac");
    EXPECT_EQ(p.sampleRate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.videoBitRate, 0);
    EXPECT_EQ(p.audioBitRate, 0);
}

TEST(ParamOptionTable, ListsPerFormat)
{
    const ParamOptionTable table;
    EXPECT_EQ(table.formats().size(), 22u);
    for (const auto& format : table.formats()) {
        for (int l = 0; l < kParamListCount; ++l) {
            const auto& list = table.options(static_cast<ParamList>(l), format);
            EXPECT_EQ(std::count_if(list.begin(), list.end(), [](const ParamOption& o) { return o.isDefault; }), 1)
                << format << " list " << l;
            if (l == 0 || l == 2) {
                EXPECT_FALSE(CodecEncoderName(list.front().text).empty()) << format;
            }
        }
    }
    EXPECT_EQ(table.options(ParamList::VideoBitRate, "mp4").size(), 13u);
    EXPECT_EQ(table.options(ParamList::SampleRate, "mp4").back().text, "96000Hz");
    EXPECT_EQ(table.options(ParamList::SampleRate, "ts").front().text, "16000Hz");
    EXPECT_EQ(table.options(ParamList::VideoBitRate, "dat").size(), 5u);
    EXPECT_EQ(Texts(table.options(ParamList::SampleRate, "mxf")), std::vector<std::string>{"48000Hz"});
    // Formats are compared exactly; the two outside the table get empty lists.
    EXPECT_TRUE(table.options(ParamList::VideoCodec, "MP4").empty());
    EXPECT_TRUE(table.options(ParamList::VideoCodec, "m3u8").empty());
    EXPECT_TRUE(table.options(ParamList::Channels, "divx").empty());
}

TEST(ParamOptionTable, SampleRatesAreThoseTheEncoderAndContainerTake)
{
    const ParamOptionTable table;
    const auto rates = [&](const char* format) { return Texts(table.options(ParamList::SampleRate, format)); };
    using Rates = std::vector<std::string>;
    // ffmpeg's own Opus encoder writes 48 kHz only; it becomes the first choice.
    EXPECT_EQ(rates("webm"), Rates{"48000Hz"});
    EXPECT_EQ(table.defaultChoices("webm")[3].text, "48000Hz");
    // AC3 takes 32-48 kHz; FLV stores 11/22/44 kHz (and MP3 at 48); MP2 has no 8 kHz.
    EXPECT_EQ(rates("rm"), (Rates{"32000Hz", "44100Hz", "48000Hz"}));
    EXPECT_EQ(rates("rmvb"), rates("rm"));
    EXPECT_EQ(rates("flv"), (Rates{"22050Hz", "44100Hz", "48000Hz"}));
    EXPECT_EQ(rates("dat"), (Rates{"16000Hz", "22050Hz", "32000Hz", "44100Hz", "48000Hz"}));
    // Where every described rate works the list is kept whole.
    EXPECT_EQ(rates("mp4").size(), 7u);
    EXPECT_EQ(rates("avi").size(), 6u);
    EXPECT_EQ(table.defaultChoices("flv")[3].text, "44100Hz");

    // A stored rate no longer offered falls back to the format's default, in the dialog
    // and in the command.
    OutputParams stored = ParseOutputParams(1, table.defaultChoices("flv"));
    stored.sampleRate = 8000;
    stored.sampleRateIndex = 0;
    EXPECT_EQ(table.choicesOf(stored, "flv")[3].text, "44100Hz");
    EXPECT_EQ(table.offeredSampleRate("flv", 8000), 44100);
    EXPECT_EQ(table.offeredSampleRate("flv", 22050), 22050);
    EXPECT_EQ(table.offeredSampleRate("webm", 16000), 48000);
    EXPECT_EQ(table.offeredSampleRate("mp4", 0), 0);
}

TEST(ParamOptionTable, MobileFormatsAndEncoderFallback)
{
    const ParamOptionTable table;
    OutputParams p = ParseOutputParams(1, table.defaultChoices("3gp"));
    EXPECT_EQ(p.sampleRate, 8000);
    EXPECT_EQ(p.channels, 1);
    EXPECT_EQ(p.videoCodec, "h263");
    // This ffmpeg's AMR-NB support decides whether the list says AMR or AAC.
    EXPECT_EQ(p.audioCodec, EncoderSupport::system().canEncode("amr_nb") ? "amr_nb" : "aac");

    const EncoderSupport withAmr([](const std::string& n) {
        return EncoderSupport::Encoder{n == "amr_nb", false, n, {}};
    });
    EXPECT_EQ(ParamOptionTable(withAmr).defaultChoices("3g2")[2].text, "AMR");
}

TEST(ParamOptionTable, ChoicesByTextAndRestoredPositions)
{
    const ParamOptionTable table;
    ParamChoices choices = table.defaultChoices("wmv");
    const auto vb = table.findChoice(ParamList::VideoBitRate, "wmv", "12.0Mbps");
    ASSERT_TRUE(vb);
    EXPECT_EQ(vb->index, 12);
    choices[1] = *vb;
    choices[5] = *table.findChoice(ParamList::Channels, "wmv", "单声道");
    const OutputParams p = ParseOutputParams(9, choices);
    EXPECT_EQ(p.videoBitRate, 12000000);
    EXPECT_EQ(p.videoBitRateIndex, 12);
    EXPECT_EQ(p.channels, 1);
    EXPECT_EQ(ParseOutputParams(9, table.choicesOf(p, "wmv")), p);
    EXPECT_FALSE(table.findChoice(ParamList::VideoBitRate, "avi", "12.0Mbps"));
    EXPECT_FALSE(table.findChoice(ParamList::SampleRate, "webm", "44100Hz"));

    // An empty format: empty names, zero values, -1 positions.
    const OutputParams empty = ParseOutputParams(3, table.defaultChoices("divx"));
    EXPECT_EQ(empty.videoCodec, "");
    EXPECT_EQ(empty.sampleRateIndex, -1);
    EXPECT_EQ(empty.channels, 0);
}

TEST(ParamOptionTable, CodecEncoderNames)
{
    const std::pair<const char*, const char*> names[] = {
        {"H.264", "h264"},      {"AAC", "aac"},          {"FLV", "flv"},     {"MP3", "mp3"},
        {"MSMPEG4", "msmpeg4"}, {"WMA V2", "wmav2"},     {"MPEG4", "mpeg4"}, {"VORBIS", "vorbis"},
        {"MPG2", "mpeg2video"}, {"EXTPCM", "pcm_s16le"}, {"MP2", "mp2"},     {"RV10", "rv10"},
        {"AC3", "ac3"},         {"VP90", "vp9"},         {"OPUS", "opus"},   {"MPG1", "mpeg1video"},
        {"H.263", "h263"},      {"AMR", "amr_nb"},       {"THEO", "theora"}};
    for (const auto& [display, encoder] : names)
        EXPECT_EQ(CodecEncoderName(display), encoder);
    EXPECT_EQ(CodecEncoderName("h.264"), "");
    EXPECT_EQ(CodecEncoderName(""), "");
}

TEST(OutputParamsTable, ConfirmingTwiceKeepsOneRecordWithTheSecondChoice)
{
    OutputParamsTable table;
    OutputParams first;
    first.taskId = 4;
    first.videoBitRate = 96000;
    table.store(first);
    OutputParams second = first;
    second.videoBitRate = 2000000;
    table.store(second);
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.find(4)->videoBitRate, 2000000);
    table.erase(4);
    EXPECT_FALSE(table.find(4));
}

TEST(ResolutionTable, ListsAndDefaults)
{
    EXPECT_EQ(ResolutionTable::convertFormats().size(), 24u);
    for (const auto& f : ResolutionTable::convertFormats()) {
        const auto& list = ResolutionTable::options(f);
        EXPECT_EQ(std::count_if(list.begin(), list.end(), [](const ResolutionOption& o) { return o.isDefault; }), 1)
            << f;
    }
    EXPECT_EQ(ResolutionTable::options("3gp").size(), 5u);
    EXPECT_EQ(ResolutionTable::defaultOption("3gp"), "352x288");
    EXPECT_EQ(ResolutionTable::defaultOption("mp4"), "自动");
    EXPECT_EQ(ResolutionTable::options("mkv").size(), 7u);
    EXPECT_EQ(ResolutionTable::options("divx").size(), 6u);
    EXPECT_TRUE(ResolutionTable::options("xyz").empty());
    EXPECT_TRUE(ResolutionTable::offers("mp4", "3840x2160"));
    EXPECT_FALSE(ResolutionTable::offers("avi", "3840x2160"));
    EXPECT_FALSE(ResolutionTable::offers("3gp", "自动"));
}

TEST(EncoderSupport, ExtractFormatsThisFfmpegWrites)
{
    const auto formats = ExtractAudioFormats();
    const std::set<std::string> have(formats.begin(), formats.end());
    for (const char* f : {"mp3", "aac", "m4a", "wav", "flac", "ogg", "wma", "ac3", "aiff", "mka"})
        EXPECT_TRUE(have.count(f)) << f;
    EXPECT_EQ(formats.front(), "mp3");
}
