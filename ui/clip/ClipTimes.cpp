#include "ui/clip/ClipTimes.h"

#include "app/Helpers.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tolvex {

QString CheckClipTimes(const std::string& start, const std::string& end, double fileSeconds,
                       const QString& equalTimesPrompt)
{
    if (start.empty())
        return QCoreApplication::translate("ClipTimes", "开始时间不能为空!");
    if (end.empty())
        return QCoreApplication::translate("ClipTimes", "结束时间不能为空!");
    if (!IsClockText(start))
        return QCoreApplication::translate("ClipTimes", "开始时间格式错误!");
    if (!IsClockText(end))
        return QCoreApplication::translate("ClipTimes", "结束时间格式错误!");
    if (start == end)
        return equalTimesPrompt;
    const int s = ParseClock(start);
    const int e = ParseClock(end);
    if (s >= e)
        return QCoreApplication::translate("ClipTimes", "开始时间不能大于结束时间!");
    if (fileSeconds < s || fileSeconds < e)
        return QCoreApplication::translate("ClipTimes", "时间不能大于文件时长!");
    return {};
}

QString SecondsText(double seconds)
{
    if (!(seconds > 0.0))
        seconds = 0.0;
    const double limit = std::numeric_limits<int32_t>::max();
    const auto whole = static_cast<int32_t>(std::min(std::trunc(seconds), limit));
    return QString::fromStdString(FormatClock(whole));
}

std::string TrimmedText(const QString& text)
{
    return text.trimmed().toStdString();
}

}  // namespace tolvex
