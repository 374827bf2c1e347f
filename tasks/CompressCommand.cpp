#include "tasks/CompressCommand.h"

#include "app/Helpers.h"
#include "media/CompressFormat.h"
#include "tasks/CommandTokens.h"

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

}  // namespace

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
                             const std::string& passLogBase, const std::string& ownExtension)
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
    analysis.add("-pass").add("1").add("-passlogfile").addQuoted(passLogBase);
    analysis.add("-an").add("-sn").add("-dn").add("-f").add("null").add("-");

    CommandLine& encode = job.encode;
    encode.setProgram(context.ffmpegPath);
    encode.add("-i").addQuoted(input);
    AddPictureOptions(encode, sizeText, oddFrame, format, job.budget, encoders);
    encode.add("-pass").add("2").add("-passlogfile").addQuoted(passLogBase);
    if (const auto& audio = job.budget.audio) {
        encode.add("-c:a").add(format.profile.audioEncoder);
        encode.add("-b:a").add(std::to_string(audio->bitRate));
        encode.add("-ac").add(std::to_string(audio->channels));
        encode.add("-ar").add(std::to_string(audio->sampleRate));
        if (encoders.isExperimental(format.profile.audioEncoder))
            encode.add("-strict").add("-2");
    } else {
        encode.add("-an");
    }
    encode.addQuoted(job.outputPath);

    // ffmpeg names the log after the output stream (0: the picture); x264 adds its
    // macroblock-tree file, and both are written as ".temp" until a pass ends.
    for (const char* suffix : {"-0.log", "-0.log.temp", "-0.log.mbtree", "-0.log.mbtree.temp"})
        job.passLogFiles.push_back(passLogBase + suffix);
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
    plan.outputLimit = job.sourceBytes;
    plan.tooLargeReason = kLargerThanSource;
    return plan;
}

}  // namespace tolvex
