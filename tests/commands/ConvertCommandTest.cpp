#include "media/EncoderSupport.h"
#include "media/ParamOptionTable.h"
#include "tasks/ConvertCommand.h"

#include <gtest/gtest.h>

#include <map>

using namespace tolvex;

namespace {

// An ffmpeg build with a chosen set of encoders: name -> (encoder picked, experimental).
EncoderSupport Encoders(std::map<std::string, std::pair<std::string, bool>> known)
{
    return EncoderSupport([known](const std::string& name) {
        EncoderSupport::Encoder e;
        if (const auto it = known.find(name); it != known.end()) {
            e.exists = true;
            e.name = it->second.first;
            e.experimental = it->second.second;
        }
        return e;
    });
}

// Debian's build: no AMR-NB, native Vorbis/Opus experimental, libvorbis present.
const EncoderSupport& Debian()
{
    static const EncoderSupport e = Encoders({{"h264", {"libx264", false}},
                                              {"aac", {"aac", false}},
                                              {"vorbis", {"vorbis", true}},
                                              {"libvorbis", {"libvorbis", false}},
                                              {"opus", {"opus", true}},
                                              {"vp9", {"libvpx-vp9", false}},
                                              {"theora", {"libtheora", false}},
                                              {"wmav2", {"wmav2", false}},
                                              {"msmpeg4", {"msmpeg4", false}},
                                              {"mpeg2video", {"mpeg2video", false}},
                                              {"pcm_s16le", {"pcm_s16le", false}}});
    return e;
}

const EncoderSupport& WithAmr()
{
    static const EncoderSupport e = Encoders({{"amr_nb", {"libopencore_amrnb", false}}, {"aac", {"aac", false}}});
    return e;
}

OutputParams Params(std::string vcodec, int vb, std::string acodec, int ab, int ac, int ar)
{
    OutputParams p;
    p.videoCodec = std::move(vcodec);
    p.videoBitRate = vb;
    p.audioCodec = std::move(acodec);
    p.audioBitRate = ab;
    p.channels = ac;
    p.sampleRate = ar;
    return p;
}

std::string Render(const std::string& outputName, const std::string& ratio,
                   const std::optional<OutputParams>& params = std::nullopt, const EncoderSupport& enc = Debian())
{
    JobContext ctx{"/usr/bin/ffmpeg", "/out", QTime(10, 11, 12)};
    MediaItem item;
    item.fileName = "in put.mp4";
    item.fullPath = "/media/in put.mp4";
    return BuildConvertCommand(ctx, item, {QString::fromStdString(outputName), QString::fromStdString(ratio)}, params,
                               enc)
        .render();
}

}  // namespace

TEST(ConvertCommand, FrameSizeOptionKeepsItsTrailingBlank)
{
    EXPECT_EQ(Render("a-101112.mp4", "1280x720"),
              "\"/usr/bin/ffmpeg\" -y -i \"/media/in put.mp4\" -s 1280*720  \"/out/a-101112.mp4\"");
    EXPECT_EQ(Render("a.mp4", "自动"), "\"/usr/bin/ffmpeg\" -y -i \"/media/in put.mp4\"  \"/out/a.mp4\"");
    // A text without "x" or with a zero side gives no size option.
    EXPECT_EQ(ConvertOptionText("mp4", "1280", std::nullopt, Debian()), "");
    EXPECT_EQ(ConvertOptionText("mp4", "0x720", std::nullopt, Debian()), "");
    EXPECT_EQ(ConvertOptionText("mkv", "1920x1080", std::nullopt, Debian()), "-s 1920*1080  -strict -2");
}

TEST(ConvertCommand, ContainerDefaultsWithoutParameters)
{
    EXPECT_EQ(Render("a.webm", "自动"), "\"/usr/bin/ffmpeg\" -y -i \"/media/in put.mp4\"  -strict -2 \"/out/a.webm\"");
    EXPECT_EQ(ConvertOptionText("wmv", "自动", std::nullopt, Debian()), " -ar 44100");
    EXPECT_EQ(ConvertOptionText("mxf", "自动", std::nullopt, Debian()), " -ar 48000");
    EXPECT_EQ(ConvertOptionText("dat", "自动", std::nullopt, Debian()), " -f mpeg");
    EXPECT_EQ(ConvertOptionText("divx", "自动", std::nullopt, Debian()), " -f avi");
    EXPECT_EQ(ConvertOptionText("mp4", "自动", std::nullopt, Debian()), "");
    // 3gp keeps AMR-NB where the encoder exists and falls back to AAC where it does not.
    EXPECT_EQ(ConvertOptionText("3gp", "352x288", std::nullopt, WithAmr()), "-s 352*288  -ar 8000 -ac 1");
    EXPECT_EQ(ConvertOptionText("3g2", "352x288", std::nullopt, Debian()), "-s 352*288  -ar 8000 -ac 1 -acodec aac");
}

TEST(ConvertCommand, RealMediaFramesAreMultiplesOfSixteen)
{
    EXPECT_EQ(ConvertOptionText("rmvb", "1280x720", std::nullopt, Debian()), "-s 1280*720  -f rm -ar 44100");
    EXPECT_EQ(ConvertOptionText("rm", "1920x1080", std::nullopt, Debian()), "-s 1920*1072  -ar 44100");
    EXPECT_EQ(ConvertOptionText("rmvb", "自动", std::nullopt, Debian()),
              " -vf scale=trunc(iw/16)*16:trunc(ih/16)*16 -f rm -ar 44100");
    // Other containers keep odd sizes as chosen.
    EXPECT_EQ(ConvertOptionText("avi", "480x360", std::nullopt, Debian()), "-s 480*360 ");
}

TEST(ConvertCommand, ParameterOptions)
{
    // Zero bit rates: codecs appear, -vb and -ab do not.
    EXPECT_EQ(ConvertOptionText("mp4", "自动", Params("h264", 0, "aac", 0, 2, 44100), Debian()),
              " -vcodec h264 -acodec aac -ac 2 -ar 44100");
    EXPECT_EQ(ConvertOptionText("mp4", "自动", Params("h264", 2000000, "aac", 128000, 1, 0), Debian()),
              " -vcodec h264 -vb 2000000 -acodec aac -ab 128000 -ac 1");
    // wmv: an automatic sample rate still gets 44100, a chosen one is kept.
    EXPECT_EQ(ConvertOptionText("wmv", "自动", Params("msmpeg4", 0, "wmav2", 0, 2, 0), Debian()),
              " -vcodec msmpeg4 -acodec wmav2 -ac 2 -ar 44100");
    EXPECT_EQ(ConvertOptionText("wmv", "自动", Params("msmpeg4", 0, "wmav2", 0, 2, 22050), Debian()),
              " -vcodec msmpeg4 -acodec wmav2 -ac 2 -ar 22050");
    // mxf and 3gp container defaults apply only without parameters.
    EXPECT_EQ(ConvertOptionText("mxf", "自动", Params("mpeg2video", 0, "pcm_s16le", 0, 2, 0), Debian()),
              " -vcodec mpeg2video -acodec pcm_s16le -ac 2");
    // A format without parameter lists stores empty codec names: no codec option at all.
    EXPECT_EQ(ConvertOptionText("m3u8", "自动", OutputParams{}, Debian()), "");
    EXPECT_EQ(ConvertOptionText("divx", "自动", OutputParams{}, Debian()), " -f avi");
}

TEST(ConvertCommand, EncodersThisFfmpegLacksOrHoldsExperimental)
{
    // Vorbis goes to libvorbis (the native encoder is experimental and stereo only).
    EXPECT_EQ(ConvertOptionText("ogv", "自动", Params("theora", 0, "vorbis", 0, 1, 44100), Debian()),
              " -vcodec theora -acodec libvorbis -ac 1 -ar 44100");
    // Without libvorbis the native encoder is allowed as mkv and webm allow it.
    const EncoderSupport nativeOnly = Encoders({{"vorbis", {"vorbis", true}}, {"theora", {"libtheora", false}}});
    EXPECT_EQ(ConvertOptionText("ogv", "自动", Params("theora", 0, "vorbis", 0, 2, 44100), nativeOnly),
              " -vcodec theora -acodec vorbis -ac 2 -ar 44100 -strict -2");
    // webm already carries -strict -2 once.
    EXPECT_EQ(ConvertOptionText("webm", "自动", Params("vp9", 0, "opus", 0, 2, 48000), Debian()),
              " -strict -2 -vcodec vp9 -acodec opus -ac 2 -ar 48000");
    EXPECT_EQ(ConvertOptionText("3gp", "352x288", Params("h263", 0, "amr_nb", 0, 1, 8000), Debian()),
              "-s 352*288  -vcodec h263 -acodec aac -ac 1 -ar 8000");
    EXPECT_EQ(ConvertOptionText("3gp", "352x288", Params("h263", 0, "amr_nb", 0, 1, 8000), WithAmr()),
              "-s 352*288  -vcodec h263 -acodec amr_nb -ac 1 -ar 8000");
}

TEST(ConvertCommand, ArgvCarriesNoEmptyArgumentsAndPathsWhole)
{
    JobContext ctx{"ffmpeg", "/out dir/", QTime(1, 2, 3)};
    MediaItem item;
    item.fullPath = "/media/$(rm -rf x) \"q\".mp4";
    const CommandLine c = BuildConvertCommand(ctx, item, {"a b.mp4", "1280x720"}, std::nullopt, Debian());
    const std::vector<std::string> expected = {
        "ffmpeg", "-y", "-i", "/media/$(rm -rf x) \"q\".mp4", "-s", "1280*720", "/out dir/a b.mp4"};
    EXPECT_EQ(c.argv(), expected);
}

TEST(ConvertCommand, OutputNameFromInputClockAndFormat)
{
    EXPECT_EQ(ConvertOutputName("clip.avi", QTime(14, 5, 9), "mp4"), "clip-140509.mp4");
    EXPECT_EQ(ConvertOutputName("my.home.video.mov", QTime(0, 0, 0), "mkv"), "my.home.video-000000.mkv");
    EXPECT_EQ(ConvertOutputName("noext", QTime(23, 59, 59), "flv"), "noext-235959.flv");
}

TEST(ConvertCommand, SystemEncodersMatchThisFfmpeg)
{
    // The linked libavcodec decides what the parameter table and the commands use.
    const EncoderSupport& sys = EncoderSupport::system();
    EXPECT_TRUE(sys.canEncode("h264"));
    EXPECT_TRUE(sys.canEncode("mp3"));
    EXPECT_FALSE(sys.canEncode("no-such-encoder"));
    EXPECT_FALSE(sys.canEncode(""));
    EXPECT_TRUE(sys.isExperimental("vorbis") || !sys.canEncode("libvorbis"));
}
