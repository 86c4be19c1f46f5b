#include "data/text_encoding.h"

#include <cstdint>
#include <cstring>

namespace studyhop {

namespace {

// The length of the UTF-8 sequence at bytes[i], or 0 when it is malformed.
size_t sequenceLength(std::string_view bytes, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) {
            low = 0xA0;  // no overlong forms
        } else if (lead == 0xED) {
            high = 0x9F;  // no surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;  // nothing above U+10FFFF
        }
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    if (byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (size_t k = i + 2; k < i + length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// The end of the run of ASCII bytes that starts at `i`, eight bytes a step:
// a hostile 16 MiB file of plain letters is looked at in a few milliseconds.
size_t skipAscii(std::string_view bytes, size_t i) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    while (i + 8 <= bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        if ((word & kHighBits) != 0) {
            break;
        }
        i += 8;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) {
        ++i;
    }
    return i;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    for (size_t i = skipAscii(bytes, 0); i < bytes.size(); i = skipAscii(bytes, i)) {
        const size_t n = sequenceLength(bytes, i);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

bool looksLikeUtf8Text(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        return true;
    }
    bool wide = false;
    for (size_t i = skipAscii(bytes, 0); i < bytes.size(); i = skipAscii(bytes, i)) {
        const size_t n = sequenceLength(bytes, i);
        if (n == 0) {
            return false;
        }
        wide = wide || n >= 3;
        i += n;
    }
    return wide;
}

namespace {

// The cells of a JIS X 0208 row that hold a character, as [first, last]
// ranges; rows 16-46 and 48-83 are full. Row 13 is NEC's, as Windows has it.
bool jisAssigned(int row, int cell) {
    struct Range {
        int row, first, last;
    };
    static constexpr Range kPartial[] = {
        {1, 1, 94},  {2, 1, 14},  {2, 26, 33}, {2, 42, 48}, {2, 60, 74}, {2, 82, 89}, {2, 94, 94},
        {3, 16, 25}, {3, 33, 58}, {3, 65, 90}, {4, 1, 83},  {5, 1, 86},  {6, 1, 24},  {6, 33, 56},
        {7, 1, 33},  {7, 49, 81}, {8, 1, 32},  {13, 1, 92}, {47, 1, 51}, {84, 1, 6},
    };
    if ((row >= 16 && row <= 46) || (row >= 48 && row <= 83)) {
        return true;
    }
    for (const Range& r : kPartial) {
        if (r.row == row && cell >= r.first && cell <= r.last) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool isValidEucJp(std::string_view bytes) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const auto inRow = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
    for (size_t i = skipAscii(bytes, 0); i < bytes.size(); i = skipAscii(bytes, i)) {
        const unsigned char b = byte(i);
        if (b == 0x8E && i + 1 < bytes.size() && byte(i + 1) >= 0xA1 && byte(i + 1) <= 0xDF) {
            i += 2;  // half-width katakana
        } else if (b == 0x8F && i + 2 < bytes.size() && inRow(byte(i + 1)) && inRow(byte(i + 2))) {
            i += 3;  // JIS X 0212
        } else if (inRow(b) && i + 1 < bytes.size() && inRow(byte(i + 1)) &&
                   jisAssigned(b - 0xA0, byte(i + 1) - 0xA0)) {
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

bool isIso2022Jp(std::string_view bytes) {
    bool escapes = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80) {
            return false;
        }
        if (b == 0x1B && i + 2 < bytes.size()) {
            const std::string_view code = bytes.substr(i + 1, 2);
            escapes = escapes || code == "$B" || code == "$@" || code == "(J" || code == "(I" ||
                      code == "$(";
        }
    }
    return escapes;
}

}  // namespace studyhop
