#pragma once

// Which encoders the ffmpeg program can use, decided from the linked libavcodec (Debian's
// ffmpeg program and libraries come from the same build). Names resolve the way ffmpeg's
// "-vcodec"/"-acodec" do: an encoder name first, else a codec name and its preferred
// encoder ("mp3" -> libmp3lame, "vp9" -> libvpx-vp9).
// Thread use: immutable after construction; safe from any thread.

#include <functional>
#include <string>
#include <vector>

namespace tolvex {

class EncoderSupport {
public:
    struct Encoder {
        bool exists = false;
        bool experimental = false;     // ffmpeg refuses it without "-strict -2"
        std::string name;              // the encoder ffmpeg picks for the asked name
        std::vector<int> sampleRates;  // the only rates it encodes at; empty: any rate
    };
    using Lookup = std::function<Encoder(const std::string& name)>;

    // The linked libavcodec.
    static const EncoderSupport& system();
    explicit EncoderSupport(Lookup lookup);

    Encoder find(const std::string& name) const { return m_lookup(name); }
    bool canEncode(const std::string& name) const { return find(name).exists; }
    bool isExperimental(const std::string& name) const { return find(name).experimental; }

    // The audio encoder to pass for a codec name of the parameter table: AMR-NB becomes AAC
    // where this ffmpeg has no AMR-NB encoder, Vorbis becomes libvorbis where it exists (the
    // native encoder is experimental and writes stereo only).
    std::string audioEncoderFor(const std::string& codec) const;

    // Whether an audio encoder of the parameter table (a codec name, resolved as above)
    // writes `rate` into a file of the output format `format`: the encoder must accept the
    // rate and the container must be able to store it.
    bool acceptsSampleRate(const std::string& format, const std::string& codec, int rate) const;

private:
    Lookup m_lookup;
};

// The audio formats the extract page offers, in display order: those of the program's
// list whose container this ffmpeg can write with an encoder it has.
std::vector<std::string> ExtractAudioFormats();

}  // namespace tolvex
