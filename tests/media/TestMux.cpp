#include "tests/media/TestMux.h"

#include "tests/support/TestMedia.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <algorithm>
#include <cstdint>

namespace tolvex::test {

// Copies the chosen streams of existing files into one new file (no re-encoding), letting
// `prepare` change each output stream before the header is written.
bool MuxStreams(const std::string& output, const std::vector<SourceStream>& sources,
                const std::function<void(int, AVStream*)>& prepare)
{
    std::vector<AVFormatContext*> inputs;
    AVFormatContext* out = nullptr;
    bool ok = avformat_alloc_output_context2(&out, nullptr, nullptr, output.c_str()) >= 0;
    for (size_t i = 0; ok && i < sources.size(); ++i) {
        AVFormatContext* in = nullptr;
        ok = avformat_open_input(&in, sources[i].path.c_str(), nullptr, nullptr) >= 0 &&
             avformat_find_stream_info(in, nullptr) >= 0;
        if (in)
            inputs.push_back(in);
        if (!ok)
            break;
        AVStream* source = in->streams[sources[i].streamIndex];
        AVStream* target = avformat_new_stream(out, nullptr);
        ok = target && avcodec_parameters_copy(target->codecpar, source->codecpar) >= 0;
        if (ok) {
            target->codecpar->codec_tag = 0;
            target->time_base = source->time_base;
            prepare(static_cast<int>(i), target);
        }
    }
    ok = ok && avio_open(&out->pb, output.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(out, nullptr) >= 0;
    AVPacket* packet = av_packet_alloc();
    for (size_t i = 0; ok && i < inputs.size(); ++i) {
        while (av_read_frame(inputs[i], packet) >= 0) {
            if (packet->stream_index == sources[i].streamIndex) {
                av_packet_rescale_ts(packet, inputs[i]->streams[packet->stream_index]->time_base,
                                     out->streams[i]->time_base);
                packet->stream_index = static_cast<int>(i);
                packet->pos = -1;
                ok = av_interleaved_write_frame(out, packet) >= 0 && ok;
            }
            av_packet_unref(packet);
        }
    }
    if (ok)
        ok = av_write_trailer(out) >= 0;
    av_packet_free(&packet);
    if (out && out->pb)
        avio_closep(&out->pb);
    avformat_free_context(out);
    for (AVFormatContext* in : inputs)
        avformat_close_input(&in);
    return ok;
}

bool MakeQuadrantPhoneVideo(const std::string& path, int uprightTurn, const std::string& work)
{
    // The stored picture is the upright one turned the other way.
    const char* storeTurn = uprightTurn == 90    ? ",transpose=cclock"
                            : uprightTurn == 270 ? ",transpose=clock"
                                                 : ",hflip,vflip";
    const std::string graph = std::string("color=red:s=120x160:r=25:d=2[a];color=green:s=120x160:r=25:d=2[b];") +
                              "color=blue:s=120x160:r=25:d=2[c];color=white:s=120x160:r=25:d=2[d];" +
                              "[a][b]hstack[top];[c][d]hstack[bottom];[top][bottom]vstack" + storeTurn + "[v]";
    const std::string plain = work + "/stored-" + std::to_string(uprightTurn) + ".mp4";
    if (!RunFfmpeg({"-v", "error", "-filter_complex", graph, "-map", "[v]", "-c:v", "libx264", "-pix_fmt", "yuv420p",
                    "-g", "25", plain}))
        return false;
    // The mp4 muxer writes the stream's matrix into the file as it stands, and the demuxer
    // reads the file's matrix back transposed: the angle given here reads back negated.
    // The file is checked for the turn players see (the counter-clockwise angle negated).
    if (!MuxStreams(path, {{plain, 0}}, [uprightTurn](int, AVStream* stream) {
            AddDisplayMatrix(stream, static_cast<double>(uprightTurn));
        }))
        return false;
    AVFormatContext* in = nullptr;
    bool turned = false;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) >= 0 && avformat_find_stream_info(in, nullptr) >= 0 &&
        in->nb_streams > 0) {
        size_t size = 0;
        const uint8_t* matrix = av_stream_get_side_data(in->streams[0], AV_PKT_DATA_DISPLAYMATRIX, &size);
        if (matrix && size >= 9 * sizeof(int32_t)) {
            const long seen = std::lround(-av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix)));
            turned = (seen % 360 + 360) % 360 == uprightTurn;
        }
    }
    avformat_close_input(&in);
    return turned;
}

void AddDisplayMatrix(AVStream* stream, double degrees)
{
    auto* matrix =
        reinterpret_cast<int32_t*>(av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
    av_display_rotation_set(matrix, degrees);
}

bool WritePictureSubtitles(const std::string& output, double seconds, const std::string& language)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_DVD_SUBTITLE);
    AVCodecContext* encoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVFormatContext* out = nullptr;
    bool ok = encoder != nullptr;
    if (ok) {
        encoder->time_base = {1, 1000};
        encoder->width = 320;
        encoder->height = 240;
        ok = avcodec_open2(encoder, codec, nullptr) >= 0 &&
             avformat_alloc_output_context2(&out, nullptr, "matroska", output.c_str()) >= 0;
    }
    AVStream* stream = ok ? avformat_new_stream(out, nullptr) : nullptr;
    ok = ok && stream && avcodec_parameters_from_context(stream->codecpar, encoder) >= 0;
    if (ok) {
        stream->time_base = {1, 1000};
        av_dict_set(&stream->metadata, "language", language.c_str(), 0);
        ok = avio_open(&out->pb, output.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(out, nullptr) >= 0;
    }
    if (ok) {
        // A 16x8 bar of two colours over a transparent background.
        uint8_t pixels[16 * 8];
        for (int i = 0; i < 16 * 8; ++i)
            pixels[i] = static_cast<uint8_t>(1 + (i / 16) % 2);
        uint32_t palette[4] = {0x00000000, 0xffffffff, 0xff000000, 0xff808080};
        AVSubtitleRect rect{};
        rect.x = 20;
        rect.y = 200;
        rect.w = 16;
        rect.h = 8;
        rect.nb_colors = 4;
        rect.type = SUBTITLE_BITMAP;
        rect.data[0] = pixels;
        rect.linesize[0] = 16;
        rect.data[1] = reinterpret_cast<uint8_t*>(palette);
        AVSubtitleRect* rects[] = {&rect};
        AVSubtitle subtitle{};
        subtitle.end_display_time = static_cast<uint32_t>(seconds * 1000);
        subtitle.num_rects = 1;
        subtitle.rects = rects;
        std::vector<uint8_t> buffer(1 << 16);
        const int size = avcodec_encode_subtitle(encoder, buffer.data(), static_cast<int>(buffer.size()), &subtitle);
        AVPacket* packet = av_packet_alloc();
        ok = size > 0 && packet && av_new_packet(packet, size) >= 0;
        if (ok) {
            std::copy(buffer.begin(), buffer.begin() + size, packet->data);
            packet->pts = packet->dts = 0;
            packet->duration = av_rescale_q(subtitle.end_display_time, {1, 1000}, stream->time_base);
            packet->stream_index = 0;
            ok = av_write_frame(out, packet) >= 0 && av_write_trailer(out) >= 0;
        }
        av_packet_free(&packet);
    }
    if (out && out->pb)
        avio_closep(&out->pb);
    avformat_free_context(out);
    avcodec_free_context(&encoder);
    return ok;
}

}  // namespace tolvex::test
