#pragma once

// The job settings of one tolvex-cli run: what the window's controls would hold, given on
// the command line. Filled before the first job is queued and only read afterwards, so the
// page workers read it without a lock.

#include "tasks/JobInputs.h"

#include <map>

namespace tolvex::cli {

class CliInputSource : public JobInputSource {
public:
    explicit CliInputSource(QString outputFolder) : m_outputFolder(std::move(outputFolder)) {}

    void setConvert(TaskId id, ConvertSettings settings) { m_convert[id] = std::move(settings); }
    void setCompress(TaskId id, CompressSettings settings) { m_compress[id] = std::move(settings); }
    void setRotate(TaskId id, RotateSettings settings) { m_rotate[id] = settings; }
    void setExtract(ExtractSettings settings) { m_extract = std::move(settings); }
    void setMute(MuteSettings settings) { m_mute = settings; }
    void setMusic(MusicSettings settings) { m_music = std::move(settings); }

    std::optional<ConvertSettings> convertSettings(TaskId taskId) override { return find(m_convert, taskId); }
    std::optional<CompressSettings> compressSettings(TaskId taskId) override { return find(m_compress, taskId); }
    std::optional<RotateSettings> rotateSettings(TaskId taskId) override { return find(m_rotate, taskId); }
    ExtractSettings extractSettings() override { return m_extract; }
    MuteSettings muteSettings() override { return m_mute; }
    MusicSettings musicSettings() override { return m_music; }
    QString outputFolder() override { return m_outputFolder; }
    // The companion mirrors folders unless told --flat; the window's setting is not its.
    bool keepsFolderTree() override { return m_keepTree; }
    void setKeepTree(bool keep) { m_keepTree = keep; }

private:
    template <class T>
    static std::optional<T> find(const std::map<TaskId, T>& map, TaskId id)
    {
        const auto it = map.find(id);
        if (it == map.end())
            return std::nullopt;
        return it->second;
    }

    QString m_outputFolder;
    bool m_keepTree = true;
    std::map<TaskId, ConvertSettings> m_convert;
    std::map<TaskId, CompressSettings> m_compress;
    std::map<TaskId, RotateSettings> m_rotate;
    ExtractSettings m_extract;
    MuteSettings m_mute;
    MusicSettings m_music;
};

}  // namespace tolvex::cli
