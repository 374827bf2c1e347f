#include "tasks/ConvertCommand.h"

#include "app/Helpers.h"
#include "media/EncoderSupport.h"
#include "media/ParamOptionTable.h"
#include "tasks/CommandTokens.h"
#include "tasks/TrackKeeping.h"

#include <cstdlib>

namespace tolvex {

namespace {

bool IsRealMedia(const std::string& extension)
{
    return extension == "rm" || extension == "rmvb";
}

// RealVideo 1.0 takes only frame sides that are multiples of 16.
int FitToSixteen(int side)
{
    const int fitted = side / 16 * 16;
    return fitted > 0 ? fitted : 16;
}

}  // namespace

std::string ConvertOutputName(const QString& inputFileName, const QTime& time, const QString& format)
{
    return StampedName(ToNarrowAnsi(inputFileName), time, ToNarrowAnsi(format));
}

std::string ConvertOptionText(const std::string& ext, const std::string& ratioText,
                              const std::optional<OutputParams>& params, const EncoderSupport& encoders)
{
    std::string options;

    // Frame size: "-s W*H " (the trailing blank belongs to the text) when both sides are set.
    if (ratioText != "自动") {
        const auto x = ratioText.find('x');
        if (x != std::string::npos) {
            int width = static_cast<int>(LeadingInteger(ratioText.substr(0, x)));
            int height = static_cast<int>(LeadingInteger(ratioText.substr(x + 1)));
            if (width != 0 && height != 0) {
                if (IsRealMedia(ext)) {
                    width = FitToSixteen(width);
                    height = FitToSixteen(height);
                }
                options = "-s " + std::to_string(width) + "*" + std::to_string(height) + " ";
            }
        }
    }
    // Without an explicit size a RealMedia frame is trimmed to multiples of 16.
    if (IsRealMedia(ext) && options.empty())
        options += " -vf scale=trunc(iw/16)*16:trunc(ih/16)*16";

    bool strict = false;
    if (ext == "mkv" || ext == "webm") {
        options += " -strict -2";
        strict = true;
    }
    if (ext == "dat")
        options += " -f mpeg";
    if (ext == "rmvb")
        options += " -f rm";
    // No muxer claims the divx extension: the file is AVI, named as the user chose.
    if (ext == "divx")
        options += " -f avi";

    if (params) {
        // A format without parameter lists leaves the codec names empty: ffmpeg then keeps
        // the container's own codec instead of reading the next option as a codec name.
        bool experimental = false;
        if (!params->videoCodec.empty()) {
            options += " -vcodec " + params->videoCodec;
            experimental = experimental || encoders.isExperimental(params->videoCodec);
        }
        if (params->videoBitRate != 0)
            options += " -vb " + std::to_string(params->videoBitRate);
        if (!params->audioCodec.empty()) {
            const std::string audio = encoders.audioEncoderFor(params->audioCodec);
            options += " -acodec " + audio;
            experimental = experimental || encoders.isExperimental(audio);
        }
        if (params->audioBitRate != 0)
            options += " -ab " + std::to_string(params->audioBitRate);
        if (params->channels != 0)
            options += " -ac " + std::to_string(params->channels);
        // A rate the format no longer offers (its encoder or container cannot take it)
        // would fail the job: the format's default is used instead.
        const int sampleRate = ParamOptionTable(encoders).offeredSampleRate(ext, params->sampleRate);
        if (sampleRate != 0)
            options += " -ar " + std::to_string(sampleRate);
        else if (ext == "wmv")
            options += " -ar 44100";
        if (experimental && !strict)
            options += " -strict -2";
    } else {
        if (ext == "wmv" || IsRealMedia(ext))
            options += " -ar 44100";
        if (ext == "mxf")
            options += " -ar 48000";
        if (ext == "3gp" || ext == "3g2") {
            options += " -ar 8000 -ac 1";
            // The 3gp family's own audio codec is AMR-NB; without its encoder, AAC.
            if (!encoders.canEncode("amr_nb"))
                options += " -acodec aac";
        }
    }
    return options;
}

CommandLine BuildConvertCommand(const JobContext& context, const MediaItem& item, const ConvertSettings& settings,
                                const std::optional<OutputParams>& params, const EncoderSupport& encoders,
                                const StreamInventory* tracks, std::string* dropped)
{
    const std::string outputName = ToNarrowAnsi(settings.outputFileName);
    const std::string extension = ExtensionOf(outputName);
    CommandLine command(context.ffmpegPath);
    command.add("-y").add("-i").addQuoted(ToNarrowAnsi(item.fullPath));
    const std::string options = ConvertOptionText(extension, ToNarrowAnsi(settings.ratioText), params, encoders);
    AppendOptionText(command, options);
    const bool filtered = options.find("-vf ") != std::string::npos;
    AppendKeptTracks(command, tracks,
                     {extension, filtered ? KeepTarget::Picture::Filtered : KeepTarget::Picture::Plain}, dropped);
    command.addQuoted(OutputPath(context.outputFolder, outputName));
    return command;
}

}  // namespace tolvex
