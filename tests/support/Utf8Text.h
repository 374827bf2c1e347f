#pragma once

// Checking text that the program cut into pieces (log lines, the last line of a job's
// output): it must still be whole UTF-8 characters. Header only, so the fuzz targets use
// it without the test support library.

#include <cstddef>
#include <string_view>

namespace tolvex::test {

// True when `text` is a sequence of whole UTF-8 characters.
inline bool IsWholeUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80             ? 1
                              : (c & 0xE0) == 0xC0 ? 2
                              : (c & 0xF0) == 0xE0 ? 3
                              : (c & 0xF8) == 0xF0 ? 4
                                                   : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

}  // namespace tolvex::test
