#include "ui/main/FailureReasonText.h"

#include "tasks/FfmpegLocator.h"

#include <QCoreApplication>

namespace tolvex {

namespace {

// The translation context of every reason text.
constexpr const char* kContext = "JobFailure";

struct ReasonText {
    const char* engine;  // the engine's words
    const char* shown;   // what the user reads (source text; "%1" takes the engine's details)
};

// Whole reasons.
constexpr ReasonText kWhole[] = {
    {kFfmpegNotFound, QT_TRANSLATE_NOOP("JobFailure", "找不到ffmpeg程序")},
    {"ffmpeg wrote no output file", QT_TRANSLATE_NOOP("JobFailure", "ffmpeg没有写出文件")},
    {"ffmpeg wrote an empty output file", QT_TRANSLATE_NOOP("JobFailure", "ffmpeg写出的文件是空的")},
    {"the output file is too large", QT_TRANSLATE_NOOP("JobFailure", "输出文件太大")},
    {"ffmpeg stopped responding", QT_TRANSLATE_NOOP("JobFailure", "ffmpeg长时间没有响应，已停止")},
    {"the job has no output file", QT_TRANSLATE_NOOP("JobFailure", "任务没有输出文件")},
    {"no program to run", QT_TRANSLATE_NOOP("JobFailure", "没有可运行的程序")},
};

// Reasons that begin with these words and go on with details.
constexpr ReasonText kLeading[] = {
    {"ffmpeg exited with status ", QT_TRANSLATE_NOOP("JobFailure", "ffmpeg退出，状态码 %1")},
    {"ffmpeg was ended by signal ", QT_TRANSLATE_NOOP("JobFailure", "ffmpeg被信号 %1 结束")},
    {"cannot create the output file ", QT_TRANSLATE_NOOP("JobFailure", "无法创建输出文件 %1")},
    {"no free output name for ", QT_TRANSLATE_NOOP("JobFailure", "没有可用的输出文件名: %1")},
    {"cannot run ", QT_TRANSLATE_NOOP("JobFailure", "无法运行 %1")},
    {"cannot create the output pipe: ", QT_TRANSLATE_NOOP("JobFailure", "无法启动ffmpeg: %1")},
    {"cannot create the start pipe: ", QT_TRANSLATE_NOOP("JobFailure", "无法启动ffmpeg: %1")},
    {"cannot prepare the standard descriptors: ", QT_TRANSLATE_NOOP("JobFailure", "无法启动ffmpeg: %1")},
    {"cannot start the process: ", QT_TRANSLATE_NOOP("JobFailure", "无法启动ffmpeg: %1")},
    {"cannot start the output reader: ", QT_TRANSLATE_NOOP("JobFailure", "无法启动ffmpeg: %1")},
};

}  // namespace

QString FailureReasonText(const QString& reason)
{
    for (const ReasonText& text : kWhole) {
        if (reason == QLatin1String(text.engine))
            return QCoreApplication::translate(kContext, text.shown);
    }
    for (const ReasonText& text : kLeading) {
        const QLatin1String words(text.engine);
        if (reason.startsWith(words) && reason.size() > words.size())
            return QCoreApplication::translate(kContext, text.shown).arg(reason.mid(words.size()));
    }
    // The engine's Chinese texts (the compress refusals) are source texts themselves.
    return QCoreApplication::translate(kContext, reason.toUtf8().constData());
}

}  // namespace tolvex
