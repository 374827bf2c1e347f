// tolvex-cli's command line: the input is a list of arguments separated by zero bytes,
// parsed as the split sub-command parses its own (with --start, --end and --crop), then
// the time range and the crop rectangle are read as the sub-command reads them.

#include "cli/CliOptions.h"
#include "cli/ClipRange.h"
#include "cli/CropOption.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList args;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            args << QString::fromUtf8(reinterpret_cast<const char*>(data + start), static_cast<qsizetype>(i - start));
            start = i + 1;
        }
    }
    tolvex::cli::CliOptions options("split", {{"start", true}, {"end", true}, {"crop", true}, {"rotate", true}});
    if (!options.parse(args))
        return 0;
    int rotate = 0;
    options.intValue("rotate", 0, 7, 0, rotate);
    if (rotate < 0 || rotate > 7)
        __builtin_trap();
    tolvex::cli::ClipRange range;
    const double durations[] = {-1.0, 0.0, 10.0, 1e12};
    tolvex::cli::ReadClipRange(options, durations[size % 4], range);
    if (options.has("crop")) {
        const auto crop = tolvex::cli::ParseCropOption(options.value("crop"), 640, 360);
        if (crop && (crop->width <= 0 || crop->height <= 0 || crop->x < 0 || crop->y < 0 ||
                     crop->x + crop->width > 640 || crop->y + crop->height > 360))
            __builtin_trap();
    }
    return 0;
}
