#include "player/TextureFormat.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <iterator>

namespace tolvex {

namespace {

struct DirectFormat {
    AVPixelFormat picture;
    Uint32 texture;
};

// The layouts both sides name alike. The 32-bit RGB names of FFmpeg are byte orders, SDL's
// are packed words: AV_PIX_FMT_RGB32 and friends are the native-endian aliases that match.
constexpr DirectFormat kDirectFormats[] = {
    {AV_PIX_FMT_YUV420P, SDL_PIXELFORMAT_IYUV},     {AV_PIX_FMT_YUVJ420P, SDL_PIXELFORMAT_IYUV},
    {AV_PIX_FMT_NV12, SDL_PIXELFORMAT_NV12},        {AV_PIX_FMT_NV21, SDL_PIXELFORMAT_NV21},
    {AV_PIX_FMT_YUYV422, SDL_PIXELFORMAT_YUY2},     {AV_PIX_FMT_UYVY422, SDL_PIXELFORMAT_UYVY},
    {AV_PIX_FMT_YVYU422, SDL_PIXELFORMAT_YVYU},     {AV_PIX_FMT_RGB24, SDL_PIXELFORMAT_RGB24},
    {AV_PIX_FMT_BGR24, SDL_PIXELFORMAT_BGR24},      {AV_PIX_FMT_0RGB32, SDL_PIXELFORMAT_RGB888},
    {AV_PIX_FMT_0BGR32, SDL_PIXELFORMAT_BGR888},    {AV_PIX_FMT_RGB32, SDL_PIXELFORMAT_ARGB8888},
    {AV_PIX_FMT_RGB32_1, SDL_PIXELFORMAT_RGBA8888}, {AV_PIX_FMT_BGR32, SDL_PIXELFORMAT_ABGR8888},
    {AV_PIX_FMT_BGR32_1, SDL_PIXELFORMAT_BGRA8888},
};

bool IsYuvTexture(Uint32 format)
{
    return format == SDL_PIXELFORMAT_IYUV || format == SDL_PIXELFORMAT_YV12 || format == SDL_PIXELFORMAT_NV12 ||
           format == SDL_PIXELFORMAT_NV21 || format == SDL_PIXELFORMAT_YUY2 || format == SDL_PIXELFORMAT_UYVY ||
           format == SDL_PIXELFORMAT_YVYU;
}

bool Offers(const std::vector<Uint32>& rendererFormats, Uint32 format)
{
    return IsYuvTexture(format) ||
           std::find(rendererFormats.begin(), rendererFormats.end(), format) != rendererFormats.end();
}

bool IsFullRangeFormat(AVPixelFormat format)
{
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
           format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
}

}  // namespace

TextureFormat ChooseTextureFormat(AVPixelFormat format, const std::vector<Uint32>& rendererFormats)
{
    const auto direct = std::find_if(std::begin(kDirectFormats), std::end(kDirectFormats),
                                     [format](const DirectFormat& d) { return d.picture == format; });
    if (direct != std::end(kDirectFormats) && Offers(rendererFormats, direct->texture)) {
        const bool alpha = direct->texture == SDL_PIXELFORMAT_ARGB8888 || direct->texture == SDL_PIXELFORMAT_RGBA8888 ||
                           direct->texture == SDL_PIXELFORMAT_ABGR8888 || direct->texture == SDL_PIXELFORMAT_BGRA8888;
        return {direct->texture, AV_PIX_FMT_NONE, alpha ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE};
    }
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    if (!descriptor || !sws_isSupportedInput(format))
        return {};
    // YUV stays YUV (no colour conversion on the processor, the renderer does it); RGB and
    // palette pictures become RGB.
    const bool yuv =
        (descriptor->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) == 0 && descriptor->nb_components >= 3;
    if (yuv)
        return {SDL_PIXELFORMAT_IYUV, AV_PIX_FMT_YUV420P, SDL_BLENDMODE_NONE};
    return {SDL_PIXELFORMAT_ARGB8888, AV_PIX_FMT_RGB32, SDL_BLENDMODE_NONE};
}

SDL_YUV_CONVERSION_MODE YuvConversionMode(const AVFrame& frame, const TextureFormat& format)
{
    const auto pictureFormat = static_cast<AVPixelFormat>(frame.format);
    // The converter takes the full range of the "J" formats down to the limited one; a
    // picture in another format that only says it is full range keeps its values.
    const bool fullRange = format.convertTo == AV_PIX_FMT_NONE
                               ? IsFullRangeFormat(pictureFormat) || frame.color_range == AVCOL_RANGE_JPEG
                               : !IsFullRangeFormat(pictureFormat) && frame.color_range == AVCOL_RANGE_JPEG;
    if (fullRange)
        return SDL_YUV_CONVERSION_JPEG;
    if (frame.colorspace == AVCOL_SPC_BT709)
        return SDL_YUV_CONVERSION_BT709;
    if (frame.colorspace == AVCOL_SPC_BT470BG || frame.colorspace == AVCOL_SPC_SMPTE170M)
        return SDL_YUV_CONVERSION_BT601;
    return SDL_YUV_CONVERSION_AUTOMATIC;
}

}  // namespace tolvex
