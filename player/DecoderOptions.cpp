#include "player/DecoderOptions.h"

#include "app/ConsoleLog.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <string>

namespace tolvex {

namespace {

bool KnowsOption(const AVClass* cls, const char* name, int flags)
{
    if (!cls)
        return false;
    return av_opt_find(&cls, name, nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ) != nullptr;
}

}  // namespace

DictionaryPtr FilterDecoderOptions(const AVDictionary* options, AVFormatContext* format, AVStream* stream,
                                   const AVCodec* decoder)
{
    AVDictionary* result = nullptr;
    int flags = AV_OPT_FLAG_DECODING_PARAM;
    char prefix = 0;
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        prefix = 'v';
        flags |= AV_OPT_FLAG_VIDEO_PARAM;
        break;
    case AVMEDIA_TYPE_AUDIO:
        prefix = 'a';
        flags |= AV_OPT_FLAG_AUDIO_PARAM;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        prefix = 's';
        flags |= AV_OPT_FLAG_SUBTITLE_PARAM;
        break;
    default:
        break;
    }
    if (!decoder)
        decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    const AVClass* codecClass = avcodec_get_class();

    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(options, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        std::string key = entry->key;
        const std::string::size_type colon = key.find(':');
        if (colon != std::string::npos) {
            const std::string specifier = key.substr(colon + 1);
            const int match = avformat_match_stream_specifier(format, stream, specifier.c_str());
            if (match < 0) {
                ConsoleLog("Invalid stream specifier: %s.\n", specifier.c_str());
                continue;
            }
            if (match == 0)
                continue;
            key.resize(colon);
        }
        if (KnowsOption(codecClass, key.c_str(), flags) || !decoder ||
            KnowsOption(decoder->priv_class, key.c_str(), flags)) {
            av_dict_set(&result, key.c_str(), entry->value, 0);
        } else if (prefix && !key.empty() && key[0] == prefix && KnowsOption(codecClass, key.c_str() + 1, flags)) {
            av_dict_set(&result, key.c_str() + 1, entry->value, 0);
        }
    }
    return DictionaryPtr(result);
}

DictionaryPtr PlayerDecoderOptions(const AVDictionary* options, AVFormatContext* format, AVStream* stream,
                                   const AVCodec* decoder)
{
    DictionaryPtr filtered = FilterDecoderOptions(options, format, stream, decoder);
    AVDictionary* dict = filtered.release();
    if (!av_dict_get(dict, "threads", nullptr, 0))
        av_dict_set(&dict, "threads", "auto", 0);
    return DictionaryPtr(dict);
}

}  // namespace tolvex
