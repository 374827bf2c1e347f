#include "tests/media/TestMux.h"

#include "tests/support/TestMedia.h"

#include <cmath>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

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

}  // namespace tolvex::test
