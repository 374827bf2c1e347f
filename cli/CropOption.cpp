#include "cli/CropOption.h"

#include <QRegularExpression>

#include <cstdint>

namespace tolvex::cli {

std::optional<CropRect> ParseCropOption(const QString& text, int frameWidth, int frameHeight)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+):(\\d+):(\\d+):(\\d+)$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok[4] = {};
    const CropRect rect{match.captured(1).toInt(&ok[0]), match.captured(2).toInt(&ok[1]),
                        match.captured(3).toInt(&ok[2]), match.captured(4).toInt(&ok[3])};
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || rect.width <= 0 || rect.height <= 0)
        return std::nullopt;
    // Sums in 64 bits: huge numbers must not wrap around into the frame.
    if (int64_t{rect.x} + rect.width > frameWidth || int64_t{rect.y} + rect.height > frameHeight)
        return std::nullopt;
    return rect;
}

}  // namespace tolvex::cli
