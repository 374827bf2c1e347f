#pragma once

// The frame sizes a convert item offers per output format (the item's resolution box),
// and the output formats the convert page offers. "自动" keeps the source size.
// Immutable data; safe from any thread.

#include <string>
#include <vector>

namespace tolvex {

struct ResolutionOption {
    std::string text;  // "自动" or width "x" height
    bool isDefault = false;
};

class ResolutionTable {
public:
    // The 24 output formats of the convert page, in display order.
    static const std::vector<std::string>& convertFormats();
    // The resolution list of a format, in order; empty for an unknown format.
    static const std::vector<ResolutionOption>& options(const std::string& format);
    // The default entry of a format's list; empty for an unknown format.
    static std::string defaultOption(const std::string& format);
    static bool offers(const std::string& format, const std::string& text);
};

}  // namespace tolvex
