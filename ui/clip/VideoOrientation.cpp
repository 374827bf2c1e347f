#include "ui/clip/VideoOrientation.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <cmath>

namespace tolvex {

int ClockwiseQuarterTurn(double displayMatrixDegrees)
{
    if (!std::isfinite(displayMatrixDegrees))
        return 0;
    const long quarters = std::lround(-displayMatrixDegrees / 90.0);
    return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}

VideoOrientation ProbeVideoOrientation(const std::string& path)
{
    VideoOrientation result;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return result;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            const AVStream* stream = format->streams[i];
            if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO ||
                (stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
                continue;
            result.width = stream->codecpar->width;
            result.height = stream->codecpar->height;
            size_t size = 0;
            const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
            if (matrix && size >= 9 * sizeof(int32_t))
                result.rotation =
                    ClockwiseQuarterTurn(av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix)));
            break;
        }
    }
    avformat_close_input(&format);
    return result;
}

}  // namespace tolvex
