#pragma once

#include "media/AvPointers.h"

namespace tolvex {

// Picks from a user option set the entries that apply to the decoder of one stream, the way
// FFmpeg's command-line tools do: a key "name:specifier" applies only when the stream specifier
// `specifier` matches the stream (an invalid specifier is reported and the entry skipped); a key
// passes when the generic codec options or the decoder's private options know it as a
// decoding option for the stream's media type, or when it is the type letter (v, a, s)
// followed by such a generic option. `options` may be null.
DictionaryPtr FilterDecoderOptions(const AVDictionary* options, AVFormatContext* format, AVStream* stream,
                                   const AVCodec* decoder);

// The options the player opens a decoder with: the filtered set, plus "threads" = "auto"
// when it names no thread count.
DictionaryPtr PlayerDecoderOptions(const AVDictionary* options, AVFormatContext* format, AVStream* stream,
                                   const AVCodec* decoder);

}  // namespace tolvex
