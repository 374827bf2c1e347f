#include "tasks/CompressCommand.h"

#include "app/Helpers.h"
#include "media/CompressFormat.h"
#include "tasks/CommandTokens.h"
#include "tasks/TrackKeeping.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include <QRegularExpression>

namespace tolvex {

namespace {

constexpr const char* kKeepFormat = "原格式";
constexpr const char* kKeepSize = "原分辨率";
constexpr const char* kLargerThanSource = QT_TRANSLATE_NOOP("JobFailure", "压缩结果比原文件还大");
// The encoders write 4:2:0 pictures, whose width and height must be even: an odd frame
// loses its last column or row (of the upright picture, which is what the filter sees).
constexpr const char* kEvenFrame = "scale=trunc(iw/2)*2:trunc(ih/2)*2";

// Width and height of a "WxH" size text; nothing for any other text.
std::optional<std::pair<int, int>> ParseFrameSize(const std::string& text)
{
    static const QRegularExpression kSize(QStringLiteral("^([1-9][0-9]{0,5})x([1-9][0-9]{0,5})$"));
    const auto match = kSize.match(QString::fromStdString(text));
    if (!match.hasMatch())
        return std::nullopt;
    return std::make_pair(match.captured(1).toInt(), match.captured(2).toInt());
}

// The options both passes share: same size, same frames, same encoder, same rate.
void AddPictureOptions(CommandLine& command, const std::string& sizeText, bool oddFrame, const CompressFormat& format,
                       const CompressBudget& budget, const EncoderSupport& encoders)
{
    if (!sizeText.empty())
        command.add("-s").add(sizeText);
    else if (oddFrame)
        command.add("-vf").addQuoted(kEvenFrame);
    command.add("-fps_mode").add(format.fpsMode);
    command.add("-c:v").add(format.profile.videoEncoder);
    const std::string rate = std::to_string(budget.videoBitRate);
    command.add("-b:v").add(rate);
    if (format.profile.videoBufferLimit) {
        // A buffer of one second at twice the rate: the first frames of a short clip no
        // longer push it over its size, and the rate can still follow the picture.
        command.add("-maxrate").add(std::to_string(budget.videoBitRate * 2)).add("-bufsize").add(rate);
    }
    if (encoders.isExperimental(format.profile.videoEncoder))
        command.add("-strict").add("-2");
}

// What makes the first pass cheaper without changing what the second reads from it. x264
// already analyses its first pass with its fast settings (one reference, diamond search,
// no trellis); what is left is its 40-frame lookahead, cut to the 10 frames of its
// "veryfast" preset: frame types, B-frames, weighted prediction and the macroblock-tree
// log stay the same kind (x264 refuses a second pass whose settings differ from the first
// in those). VP9's first pass is libvpx's own quick analysis, and the older encoders run
// their ordinary encode, which costs about as much as decoding the input.
void AddFastFirstPassOptions(CommandLine& command, const std::string& encoder)
{
    if (encoder == "libx264")
        command.add("-rc-lookahead").add("10");
}

void AddSoundOptions(CommandLine& command, const CompressFormat& format, const AudioBudget& audio,
                     const EncoderSupport& encoders)
{
    command.add("-c:a").add(format.profile.audioEncoder);
    command.add("-b:a").add(std::to_string(audio.bitRate));
    command.add("-ac").add(std::to_string(audio.channels));
    command.add("-ar").add(std::to_string(audio.sampleRate));
    if (encoders.isExperimental(format.profile.audioEncoder))
        command.add("-strict").add("-2");
}

int64_t FileBytes(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SetAfter(std::vector<std::string>& argv, const std::string& option, const std::string& value)
{
    for (size_t i = 0; i + 1 < argv.size(); ++i) {
        if (argv[i] == option)
            argv[i + 1] = value;
    }
}

// The encoders that keep their rate with libavcodec's own rate control.
bool UsesLavcRateControl(const std::string& encoder)
{
    return encoder.rfind("lib", 0) != 0;
}

// The number after "name:" in a pass log line, 0 when absent.
double Field(const std::string& line, const char* name)
{
    const std::string key = std::string(" ") + name + ":";
    const size_t at = line.find(key);
    if (at == std::string::npos)
        return 0.0;
    return std::strtod(line.c_str() + at + key.size(), nullptr);
}

}  // namespace

int64_t LavcMinimumBitRate(const std::string& passLog, double seconds)
{
    // libavcodec writes the picture's quality as lambda: the quantiser times 118; its
    // coarsest quantiser is 31.
    constexpr double kCoarsestLambda = 31.0 * 118.0;
    double bits = 0.0;
    std::istringstream lines(passLog);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("in:", 0) != 0)
            continue;
        line.insert(0, " ");
        const double texture = Field(line, "itex") + Field(line, "ptex");
        bits += Field(line, "mv") + Field(line, "misc") + texture * Field(line, "q") / kCoarsestLambda;
    }
    if (!(seconds > 0.0) || bits <= 0.0)
        return 0;
    return static_cast<int64_t>(bits / seconds);
}

int EffectiveStrength(int strength)
{
    return strength >= 100 ? 99 : strength;
}

int64_t CompressTargetBytes(int64_t fileSize, int strength)
{
    const int s = EffectiveStrength(strength);
    return static_cast<int64_t>(static_cast<double>(fileSize) * (100 - s) / 100);
}

CompressJob BuildCompressJob(const JobContext& context, const MediaItem& item, const CompressSettings& settings,
                             const std::optional<CompressSource>& source, const EncoderSupport& encoders,
                             const std::string& passLogBase, const std::string& ownExtension,
                             const StreamInventory* tracks)
{
    CompressJob job;
    job.targetBytes = CompressTargetBytes(item.fileSize, settings.strength);
    job.sourceBytes = item.fileSize;
    if (!source) {
        job.refusal = CompressRefusal::NoDuration;
        return job;
    }

    const std::string inputName = ToNarrowAnsi(item.fileName);
    const std::string formatText = ToNarrowAnsi(settings.formatText);
    const std::string own = ownExtension.empty() ? ExtensionOf(inputName) : ownExtension;
    const std::string extension = formatText == kKeepFormat ? own : formatText;
    const std::string ratio = ToNarrowAnsi(settings.ratioText);
    const auto frame = ratio == kKeepSize ? std::nullopt : ParseFrameSize(ratio);
    const std::string sizeText = frame ? ratio : std::string();

    CompressSource budgeted = *source;
    const bool manySounds = ContainerTracksFor(extension).manySoundTracks;
    const int soundTracks = tracks ? tracks->count(TrackKind::Audio) : 1;
    budgeted.audioTracks = std::max(1, manySounds ? soundTracks : std::min(soundTracks, 1));
    if (frame) {
        budgeted.width = frame->first;
        budgeted.height = frame->second;
    }
    const CompressFormat format = CompressFormatFor(extension, encoders);
    job.budget = PlanCompressBudget(job.targetBytes, budgeted, format.profile);
    job.refusal = job.budget.refusal;
    if (job.refusal != CompressRefusal::None)
        return job;

    job.outputPath = OutputPath(context.outputFolder, StampedName(inputName, context.clock, extension));
    const std::string input = ToNarrowAnsi(item.fullPath);
    const bool oddFrame = source->width % 2 != 0 || source->height % 2 != 0;

    CommandLine& analysis = job.analysis;
    analysis.setProgram(context.ffmpegPath);
    analysis.add("-i").addQuoted(input);
    AddPictureOptions(analysis, sizeText, oddFrame, format, job.budget, encoders);
    AddFastFirstPassOptions(analysis, format.profile.videoEncoder);
    analysis.add("-pass").add("1").add("-passlogfile").addQuoted(passLogBase);
    analysis.add("-an").add("-sn").add("-dn").add("-f").add("null").add("-");
    // The sound, encoded as the second pass will, into a scratch file that tells its size.
    const std::string soundScratch = passLogBase + "-sound.mka";
    if (const auto& audio = job.budget.audio) {
        const KeptTracks kept =
            tracks ? PlanKeptTracks(*tracks, {extension, KeepTarget::Picture::None, true, false}) : KeptTracks{};
        for (const std::string& option : kept.options)
            analysis.add(option);
        analysis.add("-vn").add("-sn").add("-dn");
        AddSoundOptions(analysis, format, *audio, encoders);
        analysis.add("-f").add("matroska").addQuoted(soundScratch);
    }

    CommandLine& encode = job.encode;
    encode.setProgram(context.ffmpegPath);
    encode.add("-i").addQuoted(input);
    AddPictureOptions(encode, sizeText, oddFrame, format, job.budget, encoders);
    encode.add("-pass").add("2").add("-passlogfile").addQuoted(passLogBase);
    if (const auto& audio = job.budget.audio)
        AddSoundOptions(encode, format, *audio, encoders);
    else
        encode.add("-an");
    const bool filtered = sizeText.empty() && oddFrame;
    AppendKeptTracks(encode, tracks, {extension, filtered ? KeepTarget::Picture::Filtered : KeepTarget::Picture::Plain},
                     &job.dropped);
    encode.addQuoted(job.outputPath);

    // ffmpeg names the log after the output stream (0: the picture); x264 adds its
    // macroblock-tree file, and both are written as ".temp" until a pass ends.
    for (const char* suffix : {"-0.log", "-0.log.temp", "-0.log.mbtree", "-0.log.mbtree.temp"})
        job.passLogFiles.push_back(passLogBase + suffix);
    if (job.budget.audio)
        job.passLogFiles.push_back(soundScratch);

    const bool lavcRate = UsesLavcRateControl(format.profile.videoEncoder);
    job.beforeEncode = [target = job.targetBytes, budgeted, profile = format.profile, sound = job.budget.audio,
                        soundScratch, passLog = passLogBase + "-0.log", lavcRate](std::vector<std::string>& argv) {
        std::optional<int64_t> soundBytes;
        if (sound) {
            // The scratch file's own bytes are Matroska's, not the output's.
            const int64_t scratch = FileBytes(soundScratch);
            const ContainerCost matroska = ContainerCostFor("mkv");
            const double packets = budgeted.durationSeconds * std::max(1, budgeted.audioTracks) * sound->sampleRate /
                                   std::max(1, profile.audioFrameSamples);
            if (scratch > 0)
                soundBytes = std::max<int64_t>(
                    0, scratch - matroska.fixedBytes - static_cast<int64_t>(matroska.bytesPerPacket * packets));
        }
        const CompressBudget budget = PlanCompressBudget(target, budgeted, profile, soundBytes);
        if (budget.refusal != CompressRefusal::None)
            return CompressRefusalText(budget.refusal);
        // libavcodec's rate control gives up (and ffmpeg 5.1 aborts) on a rate below what
        // its first pass found the motion and headers alone need: refuse it here instead.
        if (lavcRate) {
            const int64_t least = LavcMinimumBitRate(ReadText(passLog), budgeted.durationSeconds);
            if (least > 0 && budget.videoBitRate < least * 5 / 4)
                return CompressRefusalText(CompressRefusal::TooSmall);
        }
        const std::string rate = std::to_string(budget.videoBitRate);
        SetAfter(argv, "-b:v", rate);
        SetAfter(argv, "-maxrate", std::to_string(budget.videoBitRate * 2));
        SetAfter(argv, "-bufsize", rate);
        return std::string();
    };
    return job;
}

bool IsCompressVerdict(const std::string& reason)
{
    if (reason.empty())
        return false;
    if (reason == kLargerThanSource)
        return true;
    for (const auto refusal : {CompressRefusal::NoDuration, CompressRefusal::NoVideo, CompressRefusal::TooSmall}) {
        if (reason == CompressRefusalText(refusal))
            return true;
    }
    return false;
}

JobPlan CompressJobPlan(const CompressJob& job)
{
    JobPlan plan;
    if (job.refusal != CompressRefusal::None) {
        plan.action = JobPlan::Action::Fail;
        plan.reason = CompressRefusalText(job.refusal);
        return plan;
    }
    plan.earlierPasses.push_back(job.analysis);
    plan.command = job.encode;
    plan.scratchFiles = job.passLogFiles;
    plan.beforeLastPass = job.beforeEncode;
    plan.dropped = job.dropped;
    plan.outputLimit = job.sourceBytes;
    plan.tooLargeReason = kLargerThanSource;
    return plan;
}

}  // namespace tolvex
