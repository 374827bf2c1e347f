#pragma once

// What the parameter dialog offers per output format: for each of its six lists, a map
// from the format word (lower case, compared exactly) to the ordered options, each a
// display text and a default flag. Plus the codec display text -> encoder name mapping.
// Immutable once built; safe to share between threads.

#include "media/OutputParams.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

class EncoderSupport;

struct ParamOption {
    std::string text;
    bool isDefault = false;
};
using ParamOptions = std::vector<ParamOption>;

class ParamOptionTable {
public:
    // Built for the encoders that `encoders` reports (the linked libavcodec by default):
    // the 3gp/3g2 audio list names AAC where no AMR-NB encoder exists.
    ParamOptionTable();
    explicit ParamOptionTable(const EncoderSupport& encoders);

    // The options of one list for a format; empty for a format without entries.
    const ParamOptions& options(ParamList list, const std::string& format) const;
    bool hasFormat(const std::string& format) const;
    // The formats with entries, in key order.
    std::vector<std::string> formats() const;

    // The selections of a dialog opened without a stored record: each list's default.
    ParamChoices defaultChoices(const std::string& format) const;
    // The selections a stored record restores (its six positions), -1 where out of range;
    // a stored sample rate that is no longer offered gives the format's default rate.
    ParamChoices choicesOf(const OutputParams& params, const std::string& format) const;
    // The option of a list whose display text is `text`, or nothing when the format does
    // not offer it.
    std::optional<ParamChoice> findChoice(ParamList list, const std::string& format, const std::string& text) const;
    // `rate` when the format's list offers it (or it is 0, automatic), else the format's
    // default rate.
    int offeredSampleRate(const std::string& format, int rate) const;

private:
    void build(const EncoderSupport& encoders);
    std::map<std::string, ParamOptions> m_lists[kParamListCount];
};

// FFmpeg encoder name of a codec display text ("H.264" -> "h264", "WMA V2" -> "wmav2");
// empty for any other text.
std::string CodecEncoderName(const std::string& displayText);

}  // namespace tolvex
