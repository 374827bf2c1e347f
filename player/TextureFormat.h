#pragma once

// How a decoded picture reaches the preview's SDL texture. Pictures in a layout SDL's
// textures take as they are (planar YUV 4:2:0, NV12/NV21, packed 4:2:2, the common RGB
// layouts) are uploaded straight from the decoder's frame; only the others are converted
// first: YUV pictures to planar 4:2:0, the rest to 32-bit BGRA. YUV pictures are turned into
// colour by the renderer with the matrix and range the frame names. Pure.

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include <SDL.h>

#include <vector>

namespace tolvex {

struct TextureFormat {
    // The texture's format.
    Uint32 sdlFormat = SDL_PIXELFORMAT_UNKNOWN;
    // AV_PIX_FMT_NONE: the decoder's planes are uploaded as they are; else the format the
    // picture is converted to first.
    AVPixelFormat convertTo = AV_PIX_FMT_NONE;
    // Pictures with an alpha channel are blended over the black background.
    SDL_BlendMode blendMode = SDL_BLENDMODE_NONE;

    bool operator==(const TextureFormat&) const = default;
};

// The texture format for pictures of `format` on a renderer whose own texture formats are
// `rendererFormats`. YUV textures are always taken: a renderer without them (the software
// renderer) has SDL turn them into colour when it draws. {} when the picture cannot be shown
// at all (a format the converter does not read).
TextureFormat ChooseTextureFormat(AVPixelFormat format, const std::vector<Uint32>& rendererFormats);

// The matrix and range SDL uses to turn the uploaded YUV picture of `frame` into colour:
// full range as JPEG, else the frame's matrix (BT.709 or BT.601), and SDL's choice by picture
// size when the frame names neither. `format` is what the texture holds (a conversion to
// limited-range 4:2:0 leaves the frame's full range behind).
SDL_YUV_CONVERSION_MODE YuvConversionMode(const AVFrame& frame, const TextureFormat& format);

}  // namespace tolvex
