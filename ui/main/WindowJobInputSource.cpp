#include "ui/main/WindowJobInputSource.h"

#include "app/Folders.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/PageItemControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QMetaObject>
#include <QSlider>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace tolvex {

// What a waiting worker and the UI thread share. It outlives the source when a queued call
// runs after the source is gone (the call then writes into a result nobody reads).
struct WindowJobInputSource::Channel {
    std::mutex lock;
    std::condition_variable answered;
    bool stopping = false;
};

namespace {

QWidget* FindItem(QWidget* window, const char* listName, TaskId taskId)
{
    auto* list = FindSubControlAs<CListUI>(window, QString::fromLatin1(listName));
    return list ? list->findItem(QStringLiteral("item-%1").arg(taskId)) : nullptr;
}

QString TextOf(QWidget* container, const char* name)
{
    return ControlText(FindSubControl(container, QString::fromLatin1(name)));
}

int SliderValue(QWidget* container, const char* name, int fallback)
{
    const auto* slider = FindSubControlAs<QSlider>(container, QString::fromLatin1(name));
    return slider ? slider->value() : fallback;
}

bool IsChecked(QWidget* container, const char* name)
{
    const auto* box = FindSubControlAs<QAbstractButton>(container, QString::fromLatin1(name));
    return box && box->isChecked();
}

}  // namespace

WindowJobInputSource::WindowJobInputSource(QWidget* window) : m_window(window), m_channel(std::make_shared<Channel>())
{
}

WindowJobInputSource::~WindowJobInputSource()
{
    shutdown();
}

void WindowJobInputSource::shutdown()
{
    {
        std::lock_guard<std::mutex> guard(m_channel->lock);
        m_channel->stopping = true;
    }
    m_channel->answered.notify_all();
}

template <class T>
T WindowJobInputSource::ask(std::function<T(QWidget*)> read, T fallback)
{
    QWidget* window = m_window.data();
    if (!window)
        return fallback;
    if (QThread::currentThread() == window->thread())
        return read(window);

    struct Result {
        bool done = false;
        T value;
    };
    auto result = std::make_shared<Result>();
    result->value = fallback;
    const std::shared_ptr<Channel> channel = m_channel;
    {
        std::lock_guard<std::mutex> guard(channel->lock);
        if (channel->stopping)
            return fallback;
    }
    // The call is dropped by Qt if the window is destroyed before it runs; the wait below
    // then ends with the shutdown that comes with the window's end.
    QMetaObject::invokeMethod(
        window,
        [channel, result, read, guardedWindow = QPointer<QWidget>(window)] {
            std::optional<T> answer;
            if (guardedWindow)
                answer = read(guardedWindow.data());
            std::lock_guard<std::mutex> guard(channel->lock);
            if (answer)
                result->value = std::move(*answer);
            result->done = true;
            channel->answered.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock<std::mutex> lock(channel->lock);
    channel->answered.wait(lock, [&] { return result->done || channel->stopping; });
    return result->done ? result->value : fallback;
}

std::optional<ConvertSettings> WindowJobInputSource::convertSettings(TaskId taskId)
{
    return ask<std::optional<ConvertSettings>>([taskId](QWidget* w) { return readConvertSettings(w, taskId); },
                                               std::nullopt);
}

std::optional<CompressSettings> WindowJobInputSource::compressSettings(TaskId taskId)
{
    return ask<std::optional<CompressSettings>>([taskId](QWidget* w) { return readCompressSettings(w, taskId); },
                                                std::nullopt);
}

std::optional<RotateSettings> WindowJobInputSource::rotateSettings(TaskId taskId)
{
    return ask<std::optional<RotateSettings>>([taskId](QWidget* w) { return readRotateSettings(w, taskId); },
                                              std::nullopt);
}

ExtractSettings WindowJobInputSource::extractSettings()
{
    return ask<ExtractSettings>(&readExtractSettings, ExtractSettings{});
}

MuteSettings WindowJobInputSource::muteSettings()
{
    return ask<MuteSettings>(&readMuteSettings, MuteSettings{});
}

MusicSettings WindowJobInputSource::musicSettings()
{
    return ask<MusicSettings>(&readMusicSettings, MusicSettings{});
}

QString WindowJobInputSource::outputFolder()
{
    // The folder box shows the stored setting; the setting is readable from any thread.
    return OutputFolder();
}

std::optional<ConvertSettings> WindowJobInputSource::readConvertSettings(QWidget* window, TaskId taskId)
{
    QWidget* item = FindItem(window, "video-convert-list", taskId);
    if (!item)
        return std::nullopt;
    return ConvertSettings{PlannedOutputName(item), TextOf(item, "video-convert-ratio")};
}

std::optional<CompressSettings> WindowJobInputSource::readCompressSettings(QWidget* window, TaskId taskId)
{
    QWidget* item = FindItem(window, "video-compress-list", taskId);
    if (!item)
        return std::nullopt;
    CompressSettings settings;
    settings.formatText = TextOf(item, "video-compress-format");
    settings.ratioText = TextOf(item, "video-compress-ratio");
    settings.strength = SliderValue(item, "video-compress-slider", settings.strength);
    return settings;
}

std::optional<RotateSettings> WindowJobInputSource::readRotateSettings(QWidget* window, TaskId taskId)
{
    QWidget* item = FindItem(window, "video-rotate-list", taskId);
    if (!item)
        return std::nullopt;
    const auto* box = FindSubControlAs<QComboBox>(item, QStringLiteral("video-rotate-type"));
    return RotateSettings{box ? box->currentIndex() : -1};
}

ExtractSettings WindowJobInputSource::readExtractSettings(QWidget* window)
{
    return ExtractSettings{TextOf(window, "video-extract-format")};
}

MuteSettings WindowJobInputSource::readMuteSettings(QWidget* window)
{
    return MuteSettings{IsChecked(window, "video-mute"), SliderValue(window, "video-mute-slider", 0)};
}

MusicSettings WindowJobInputSource::readMusicSettings(QWidget* window)
{
    MusicSettings settings;
    settings.musicPath = TextOf(window, "bg-music-edit");
    settings.loop = IsChecked(window, "bg-music-loop");
    settings.replace = IsChecked(window, "bg-music-replace");
    settings.videoVolumeDb = SliderValue(window, "major-music-slider", 0);
    settings.musicVolumeDb = SliderValue(window, "bg-music-slider", 0);
    return settings;
}

}  // namespace tolvex
