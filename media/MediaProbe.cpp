#include "media/MediaProbe.h"

#include "app/ConsoleLog.h"
#include "media/AvPointers.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace tolvex {

namespace {

std::atomic<int64_t> g_defaultTimeoutMs{10000};
std::atomic<bool> g_stopAll{false};

// What the interrupt callback and the open filter of one probe look at.
struct ProbeGuard {
    std::chrono::steady_clock::time_point deadline;
    const std::atomic<bool>* abort = nullptr;
    bool interrupted = false;
    int (*defaultOpen)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) = nullptr;

    bool shouldStop()
    {
        if (g_stopAll.load() || (abort && abort->load()) || std::chrono::steady_clock::now() >= deadline)
            interrupted = true;
        return interrupted;
    }
};

int InterruptCallback(void* opaque)
{
    return static_cast<ProbeGuard*>(opaque)->shouldStop() ? 1 : 0;
}

// A local name that is not a plain file: a fifo or a device blocks in open() until
// someone writes to it, where no interrupt callback is asked.
bool IsLocalNonRegularFile(const char* url)
{
    std::string path = url ? url : "";
    if (path.rfind("file:", 0) == 0)
        path = path.substr(5);
    else if (path.find("://") != std::string::npos)
        return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

// Every file the demuxer opens (the input itself, a playlist's segments) passes here.
int GuardedOpen(AVFormatContext* context, AVIOContext** pb, const char* url, int flags, AVDictionary** options)
{
    auto* guard = static_cast<ProbeGuard*>(context->opaque);
    if (guard->shouldStop())
        return AVERROR_EXIT;
    if (IsLocalNonRegularFile(url)) {
        ConsoleLog("not a regular file: %s\n", url);
        return AVERROR(EINVAL);
    }
    return guard->defaultOpen(context, pb, url, flags, options);
}

// `guard` must outlive the returned container.
FormatContextPtr OpenContainer(const std::string& path, ProbeGuard& guard)
{
    AVFormatContext* context = avformat_alloc_context();
    if (!context)
        return nullptr;
    context->interrupt_callback.callback = &InterruptCallback;
    context->interrupt_callback.opaque = &guard;
    context->opaque = &guard;
    guard.defaultOpen = context->io_open;
    context->io_open = &GuardedOpen;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return nullptr;  // avformat_open_input frees the context itself on failure
    return FormatContextPtr(context);
}

ProbeGuard GuardFor(const ProbeLimits& limits)
{
    ProbeGuard guard;
    guard.deadline = std::chrono::steady_clock::now() + limits.timeout;
    guard.abort = limits.abort;
    return guard;
}

void Report(const ProbeGuard& guard, const ProbeLimits& limits)
{
    if (limits.ranOut)
        *limits.ranOut = guard.interrupted;
}

// double to int64 as the x86 conversion does it: out of range (and NaN) gives INT64_MIN.
int64_t TruncateToInt64(double value)
{
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (!(value > -kLimit && value < kLimit))
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

std::string TagOf(const AVDictionary* tags, const char* key)
{
    const AVDictionaryEntry* entry = av_dict_get(tags, key, nullptr, 0);
    return entry && entry->value ? entry->value : std::string();
}

TrackKind KindOf(AVMediaType type)
{
    switch (type) {
    case AVMEDIA_TYPE_VIDEO:
        return TrackKind::Video;
    case AVMEDIA_TYPE_AUDIO:
        return TrackKind::Audio;
    case AVMEDIA_TYPE_SUBTITLE:
        return TrackKind::Subtitle;
    case AVMEDIA_TYPE_ATTACHMENT:
        return TrackKind::Attachment;
    default:
        return TrackKind::Data;
    }
}

TrackInfo DescribeTrack(const AVStream& stream)
{
    TrackInfo track;
    track.index = stream.index;
    track.kind = KindOf(stream.codecpar->codec_type);
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(stream.codecpar->codec_id);
    track.codec = descriptor ? descriptor->name : "unknown";
    track.language = TagOf(stream.metadata, "language");
    track.title = TagOf(stream.metadata, "title");
    track.isDefault = (stream.disposition & AV_DISPOSITION_DEFAULT) != 0;
    track.isForced = (stream.disposition & AV_DISPOSITION_FORCED) != 0;
    track.coverArt = track.kind == TrackKind::Video && (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
    track.pictureSubtitle =
        track.kind == TrackKind::Subtitle && descriptor && (descriptor->props & AV_CODEC_PROP_BITMAP_SUB) != 0;
    // Matroska keeps cover pictures as attachments with an image type; they are files, not
    // pictures of the film, and travel as attachments.
    if (track.kind == TrackKind::Video && track.codec == "unknown")
        track.kind = TrackKind::Data;
    return track;
}

bool IsQuickTimeKey(const std::string& key)
{
    return key.rfind("com.apple.quicktime.", 0) == 0 || key.rfind("com.android.", 0) == 0 || key == "make" ||
           key == "model";
}

}  // namespace

std::chrono::milliseconds DefaultProbeTimeout()
{
    return std::chrono::milliseconds(g_defaultTimeoutMs.load());
}

void SetDefaultProbeTimeout(std::chrono::milliseconds timeout)
{
    g_defaultTimeoutMs = timeout.count();
}

void StopAllProbes()
{
    g_stopAll = true;
}

void ResumeProbes()
{
    g_stopAll = false;
}

int64_t StreamDurationMicroseconds(const AVFormatContext& container, const AVStream& stream)
{
    // A raw stream (an .h264 file) may have neither duration: its length is unknown, 0.
    const int64_t containerMicros = container.duration == AV_NOPTS_VALUE ? 0 : container.duration;
    if (stream.duration == AV_NOPTS_VALUE)
        return containerMicros;
    const double scale = static_cast<double>(stream.time_base.num) / static_cast<double>(stream.time_base.den);
    const int64_t micros = TruncateToInt64(static_cast<double>(stream.duration) * scale * 1000000.0);
    if (micros == std::numeric_limits<int64_t>::min())
        return containerMicros;
    return micros;
}

bool StreamHasRotation(const AVStream& stream)
{
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(stream.metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        if (std::strcmp(entry->key, "rotate") == 0) {
            ConsoleLog("Key:%s ===value:%s\n", entry->key, entry->value);
            return true;
        }
    }
    // FFmpeg 5 keeps the rotation of phone videos as a display matrix, not as a tag.
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix && size >= 9 * sizeof(int32_t)) {
        const double degrees = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
        if (std::isfinite(degrees) && std::lround(degrees) % 360 != 0)
            return true;
    }
    return false;
}

int StreamUprightTurn(const AVStream& stream)
{
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t))
        return 0;
    // The matrix gives a counter-clockwise angle; ffmpeg turns the picture back clockwise,
    // by the nearest quarter turn (as its autorotation does).
    const double degrees = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (!std::isfinite(degrees))
        return 0;
    double turn = -degrees;
    turn -= 360.0 * std::floor(turn / 360.0 + 0.9 / 360.0);
    for (const int quarter : {90, 180, 270}) {
        if (std::fabs(turn - quarter) < 2.0)
            return quarter;
    }
    return 0;
}

int32_t ProbeMediaInfo(MediaInfo& info, const ProbeLimits& limits)
{
    ProbeGuard guard = GuardFor(limits);
    FormatContextPtr container = OpenContainer(info.path, guard);
    if (!container) {
        Report(guard, limits);
        ConsoleLog("avformat_open_input error\n");
        return -1;
    }
    const int analysed = avformat_find_stream_info(container.get(), nullptr);
    Report(guard, limits);
    if (analysed < 0 || guard.interrupted) {
        ConsoleLog("avformat_find_stream_info error\n");
        return -1;
    }
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        const AVStream* stream = container->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        if (info.playSeconds < 0.0 &&
            (codec->codec_type == AVMEDIA_TYPE_VIDEO || codec->codec_type == AVMEDIA_TYPE_AUDIO))
            info.playSeconds = static_cast<double>(StreamDurationMicroseconds(*container, *stream)) / 1000000.0;
        // A cover picture is a still of the file, not its picture: its size and rate say
        // nothing of the video (and it may come after it).
        const bool cover = (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO && !cover) {
            if (StreamHasRotation(*stream))
                info.hasRotateTag = 1;
            info.uprightTurn = StreamUprightTurn(*stream);
            info.videoStreamIndex = static_cast<int32_t>(i);
            info.videoBitRate = static_cast<int32_t>(static_cast<uint32_t>(codec->bit_rate));
            info.width = codec->width;
            info.height = codec->height;
            if (stream->r_frame_rate.den > 0)
                info.frameRate = stream->r_frame_rate.num / stream->r_frame_rate.den;
            else if (stream->avg_frame_rate.den > 0)  // the codec's own frame rate, as the demuxer saw it
                info.frameRate = stream->avg_frame_rate.num / stream->avg_frame_rate.den;
            info.durationSeconds =
                TruncateToInt64(static_cast<double>(StreamDurationMicroseconds(*container, *stream)) / 1000000.0);
        } else if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
            info.audioStreamIndex = static_cast<int32_t>(i);
            ++info.audioTrackCount;
            info.audioBitRate = static_cast<int32_t>(static_cast<uint32_t>(codec->bit_rate));
            info.audioSampleFormat = codec->format;
            info.sampleRate = codec->sample_rate;
            info.channels = codec->ch_layout.nb_channels;
        }
    }
    return 0;
}

bool WithAnalysedContainer(const std::string& path, const ProbeLimits& limits,
                           const std::function<void(AVFormatContext&)>& use)
{
    ProbeGuard guard = GuardFor(limits);
    FormatContextPtr container = OpenContainer(path, guard);
    if (!container) {
        Report(guard, limits);
        return false;
    }
    const int analysed = avformat_find_stream_info(container.get(), nullptr);
    if (analysed < 0 || guard.interrupted) {
        Report(guard, limits);
        return false;
    }
    use(*container);
    Report(guard, limits);
    return !guard.interrupted;
}

std::optional<StreamInventory> ProbeStreamInventory(const std::string& path, const ProbeLimits& limits)
{
    ProbeGuard guard = GuardFor(limits);
    FormatContextPtr container = OpenContainer(path, guard);
    if (!container) {
        Report(guard, limits);
        return std::nullopt;
    }
    const int analysed = avformat_find_stream_info(container.get(), nullptr);
    Report(guard, limits);
    if (analysed < 0 || guard.interrupted)
        return std::nullopt;

    StreamInventory inventory;
    for (unsigned i = 0; i < container->nb_streams; ++i)
        inventory.tracks.push_back(DescribeTrack(*container->streams[i]));
    for (unsigned i = 0; i < container->nb_chapters; ++i) {
        const AVChapter* chapter = container->chapters[i];
        const double unit = av_q2d(chapter->time_base);
        inventory.chapters.push_back(ChapterInfo{static_cast<double>(chapter->start) * unit,
                                                 static_cast<double>(chapter->end) * unit,
                                                 TagOf(chapter->metadata, "title")});
    }
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(container->metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        const std::string key = entry->key;
        // ffmpeg drops these from the tags it copies by itself.
        if (key == "creation_time" || key == "company_name" || key == "product_name" || key == "product_version")
            inventory.hasDroppedTags = true;
        if (IsQuickTimeKey(key))
            inventory.hasQuickTimeKeys = true;
    }
    return inventory;
}

double ProbeDurationSeconds(const std::string& path, const ProbeLimits& limits)
{
    ProbeGuard guard = GuardFor(limits);
    FormatContextPtr container = OpenContainer(path, guard);
    if (!container) {
        Report(guard, limits);
        return 0.0;
    }
    avformat_find_stream_info(container.get(), nullptr);
    Report(guard, limits);
    if (guard.interrupted)
        return 0.0;
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        const AVStream* stream = container->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO)
            return static_cast<double>(StreamDurationMicroseconds(*container, *stream)) / 1000000.0;
    }
    ConsoleLog("not found a video stream.\n");
    return -1.0;
}

std::string ProbeContainerFormat(const std::string& path, const ProbeLimits& limits)
{
    ProbeGuard guard = GuardFor(limits);
    FormatContextPtr container = OpenContainer(path, guard);
    Report(guard, limits);
    if (!container || !container->iformat || !container->iformat->name)
        return {};
    return container->iformat->name;
}

}  // namespace tolvex
