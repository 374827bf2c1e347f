// tolvex-cli convert: the convert page. Each file becomes one item with the chosen output
// format and frame size; --params stands for the parameter dialog confirmed with the
// format's defaults, and the codec/bit-rate/sample-rate/channel options pick other entries
// of the dialog's lists by their display text.

#include "app/Helpers.h"
#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"
#include "media/ParamOptionTable.h"
#include "media/ResolutionTable.h"
#include "tasks/ConvertCommand.h"

#include <algorithm>

namespace tolvex::cli {

namespace {

constexpr const char* kName = "convert";
constexpr const char* kUsage =
    "[--format EXT] [--size auto|WxH] [--params] [--vcodec TEXT] [--vb TEXT] [--acodec TEXT] [--ar TEXT] "
    "[--ab TEXT] [--ac TEXT] FILE...";

struct ParamFlag {
    const char* option;
    ParamList list;
};
constexpr ParamFlag kParamOptions[] = {
    {"vcodec", ParamList::VideoCodec}, {"vb", ParamList::VideoBitRate}, {"acodec", ParamList::AudioCodec},
    {"ar", ParamList::SampleRate},     {"ab", ParamList::AudioBitRate}, {"ac", ParamList::Channels},
};

QString Offered(const ParamOptions& options)
{
    QStringList texts;
    for (const auto& o : options)
        texts.append(ToWideAnsi(o.text));
    return texts.isEmpty() ? QStringLiteral("nothing") : texts.join(QStringLiteral(", "));
}

std::string Details()
{
    std::string text =
        "Converts each FILE to another container (and frame size, codecs, rates).\n"
        "  --format EXT   output format (default mp4): ";
    for (const auto& f : ResolutionTable::convertFormats())
        text += f + (f == ResolutionTable::convertFormats().back() ? "\n" : " ");
    text +=
        "  --size         auto or WxH from the format's list (default: the format's default size)\n"
        "  --params       the parameter dialog confirmed with the format's defaults\n"
        "  --vcodec --vb --acodec --ar --ab --ac TEXT\n"
        "                 pick a parameter by its display text (e.g. --vb 2.0Mbps --ac 单声道); implies --params\n";
    return text;
}

}  // namespace

int RunConvertCommand(const QStringList& args)
{
    CliOptions options(kName, {{"format", true},
                               {"size", true},
                               {"params", false},
                               {"vcodec", true},
                               {"vb", true},
                               {"acodec", true},
                               {"ar", true},
                               {"ab", true},
                               {"ac", true}});
    if (!options.parse(args)) {
        options.printError();
        return 2;
    }
    if (options.help()) {
        PrintUsage(kName, kUsage, Details().c_str());
        return 0;
    }

    const std::string format = ToNarrowAnsi(options.value("format", QStringLiteral("mp4")));
    const auto& formats = ResolutionTable::convertFormats();
    if (std::find(formats.begin(), formats.end(), format) == formats.end()) {
        options.setError(QStringLiteral("unknown output format '%1'").arg(ToWideAnsi(format)));
        options.printError();
        return 2;
    }

    std::string size = ResolutionTable::defaultOption(format);
    if (options.has("size")) {
        const QString asked = options.value("size");
        size = asked == QLatin1String("auto") ? std::string("自动") : ToNarrowAnsi(asked);
        if (!ResolutionTable::offers(format, size)) {
            QStringList offered;
            for (const auto& o : ResolutionTable::options(format))
                offered.append(o.text == "自动" ? QStringLiteral("auto") : ToWideAnsi(o.text));
            options.setError(QStringLiteral("size '%1' is not offered for %2 (offered: %3)")
                                 .arg(asked, ToWideAnsi(format), offered.join(QStringLiteral(", "))));
            options.printError();
            return 2;
        }
    }

    // The dialog's selections: the format's defaults, then the entries asked for by text.
    const ParamOptionTable table;
    ParamChoices choices = table.defaultChoices(format);
    bool withParams = options.has("params");
    for (const ParamFlag& p : kParamOptions) {
        if (!options.has(p.option))
            continue;
        withParams = true;
        const std::string text = ToNarrowAnsi(options.value(p.option));
        const auto choice = table.findChoice(p.list, format, text);
        if (!choice) {
            options.setError(QStringLiteral("--%1 '%2' is not offered for %3 (offered: %4)")
                                 .arg(QLatin1String(p.option), ToWideAnsi(text), ToWideAnsi(format),
                                      Offered(table.options(p.list, format))));
            options.printError();
            return 2;
        }
        choices[static_cast<int>(p.list)] = *choice;
    }

    QStringList files;
    if (!options.inputFiles(files)) {
        options.printError();
        return 2;
    }
    if (files.isEmpty()) {
        options.setError(QStringLiteral("no input file"));
        options.printError();
        return 2;
    }

    QTime added;  // when the files were added, as the window names them: once the session exists
    return RunPageOnFiles(
        options, PageKind::Convert, files, [&](CliSession&) { added = QTime::currentTime(); },
        [&](CliSession& session, TaskId id) {
            const std::string outputName = ConvertOutputName(session.item(id).fileName, added, ToWideAnsi(format));
            session.source().setConvert(id, {ToWideAnsi(outputName), ToWideAnsi(size)});
            if (withParams)
                session.params().store(ParseOutputParams(id, choices));
        });
}

}  // namespace tolvex::cli
