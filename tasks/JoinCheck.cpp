#include "tasks/JoinCheck.h"

#include <algorithm>
#include <array>

namespace tolvex {

namespace {

struct Words {
    const char* chinese;
    const char* english;
};

// Indexed by JoinProperty.
constexpr std::array<Words, 13> kPropertyWords{{
    {"轨道", "tracks"},
    {"视频编码", "video codec"},
    {"编码档次", "profile"},
    {"分辨率", "frame size"},
    {"像素宽高比", "pixel aspect"},
    {"像素格式", "pixel format"},
    {"帧率", "frame rate"},
    {"时间基", "time base"},
    {"旋转", "rotation"},
    {"音频编码", "audio codec"},
    {"音频", "sound"},
    {"声道", "channels"},
    {"字幕编码", "subtitle codec"},
}};

char KindLetter(TrackKind kind)
{
    switch (kind) {
    case TrackKind::Video:
        return 'v';
    case TrackKind::Audio:
        return 'a';
    case TrackKind::Subtitle:
        return 's';
    default:
        return 'd';
    }
}

// "v+a+a": the kinds of the tracks in file order.
std::string TrackKinds(const std::vector<TrackFormat>& tracks)
{
    std::string text;
    for (const TrackFormat& track : tracks) {
        if (!text.empty())
            text += '+';
        text += KindLetter(track.kind);
    }
    return text.empty() ? std::string("-") : text;
}

class Collector {
public:
    explicit Collector(std::vector<JoinDifference>& out) : m_out(out) {}

    void compare(JoinProperty property, const std::string& value, const std::string& expected)
    {
        if (value == expected)
            return;
        const bool known =
            std::any_of(m_out.begin(), m_out.end(), [&](const JoinDifference& d) { return d.property == property; });
        if (!known)
            m_out.push_back({property, value, expected});
    }

private:
    std::vector<JoinDifference>& m_out;
};

std::string Size(const TrackFormat& t)
{
    return std::to_string(t.width) + "x" + std::to_string(t.height);
}

std::string Degrees(int turn)
{
    return std::to_string(turn) + "°";
}

void CompareTrack(Collector& c, const TrackFormat& t, const TrackFormat& first)
{
    switch (t.kind) {
    case TrackKind::Video:
        c.compare(JoinProperty::VideoCodec, t.codec, first.codec);
        c.compare(JoinProperty::Profile, t.profile, first.profile);
        c.compare(JoinProperty::FrameSize, Size(t), Size(first));
        c.compare(JoinProperty::Aspect, t.aspect, first.aspect);
        c.compare(JoinProperty::PixelFormat, t.pixelFormat, first.pixelFormat);
        c.compare(JoinProperty::FrameRate, t.frameRate, first.frameRate);
        c.compare(JoinProperty::TimeBase, t.timeBase, first.timeBase);
        c.compare(JoinProperty::Turn, Degrees(t.turn), Degrees(first.turn));
        break;
    case TrackKind::Audio:
        c.compare(JoinProperty::AudioCodec, t.codec, first.codec);
        c.compare(JoinProperty::SampleRate, std::to_string(t.sampleRate) + "Hz",
                  std::to_string(first.sampleRate) + "Hz");
        c.compare(JoinProperty::Channels, t.channelLayout, first.channelLayout);
        break;
    default:
        c.compare(JoinProperty::SubtitleCodec, t.codec, first.codec);
        break;
    }
}

}  // namespace

std::vector<FileDifferences> CompareJoinInputs(const std::vector<JoinInput>& inputs)
{
    std::vector<FileDifferences> files;
    if (inputs.empty())
        return files;
    const std::vector<TrackFormat>& first = inputs.front().tracks;
    for (size_t i = 1; i < inputs.size(); ++i) {
        FileDifferences file{static_cast<int>(i + 1), {}};
        Collector collect(file.differences);
        const std::vector<TrackFormat>& tracks = inputs[i].tracks;
        const std::string kinds = TrackKinds(tracks);
        collect.compare(JoinProperty::Tracks, kinds, TrackKinds(first));
        // Tracks of the same kinds in the same order are compared pairwise; with other
        // tracks the pairs mean nothing beyond the kinds already named.
        if (kinds == TrackKinds(first)) {
            for (size_t t = 0; t < tracks.size(); ++t)
                CompareTrack(collect, tracks[t], first[t]);
        }
        if (!file.differences.empty())
            files.push_back(std::move(file));
    }
    return files;
}

std::string JoinDifferencesText(const std::vector<FileDifferences>& files, JoinTextLanguage language)
{
    const bool english = language == JoinTextLanguage::English;
    std::string text;
    for (const FileDifferences& file : files) {
        if (!text.empty())
            text += '\n';
        const std::string number = std::to_string(file.fileNumber);
        text += english ? "file " + number + ": " : "第" + number + "个文件: ";
        for (size_t i = 0; i < file.differences.size(); ++i) {
            const JoinDifference& d = file.differences[i];
            const Words& words = kPropertyWords.at(static_cast<size_t>(d.property));
            text += (i ? "; " : "") + std::string(english ? words.english : words.chinese) + " " + d.value + " ≠ " +
                    d.expected;
        }
    }
    return text;
}

}  // namespace tolvex
