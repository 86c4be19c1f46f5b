#include "data/cp932.h"

#include <array>
#include <cstdint>
#include <memory>

namespace studyhop {

namespace {

#include "data/cp932_table.inc"

constexpr int kTrailBytes = 0xFC - 0x40 + 1;

// The row of a lead byte in kDoubleByte, or -1 for a byte that leads nothing.
int leadRow(unsigned char b) {
    if (b >= 0x81 && b <= 0x9F) {
        return b - 0x81;
    }
    if (b >= 0xE0 && b <= 0xFC) {
        return b - 0xE0 + (0x9F - 0x81 + 1);
    }
    return -1;
}

// Writes cp as UTF-8 at out; returns the end of what it wrote (one to three bytes).
char* putUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The length of the UTF-8 sequence that starts with byte c.
size_t utf8Length(unsigned char c) {
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0)
        return 2;
    if ((c & 0xF0) == 0xE0)
        return 3;
    if ((c & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// The code point of the well-formed UTF-8 sequence at the start of `s`
// (shortest form, no surrogate), with its length; 0 for a length when the
// bytes are not one.
char32_t nextCodePoint(std::string_view s, size_t& length) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    length = 0;
    const size_t n = utf8Length(b(0));
    if (n < 2 || n > s.size()) {
        return 0;
    }
    for (size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    char32_t cp = 0;
    if (n == 2) {
        cp = ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
        if (cp < 0x80) {
            return 0;
        }
    } else if (n == 3) {
        cp = ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return 0;
        }
    } else {
        cp = ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) |
             (b(3) & 0x3Fu);
        if (cp < 0x10000 || cp > 0x10FFFF) {
            return 0;
        }
    }
    length = n;
    return cp;
}

// The code of every BMP character CP932 has, 0 for none (U+0000 is ASCII and
// never looked up): the first code that decodes to it, unless the table
// names another.
class EncodeTable {
public:
    EncodeTable() : m_codes(std::make_unique<std::array<std::uint16_t, 0x10000>>()) {
        m_codes->fill(0);
        for (int b = 0x80; b <= 0xFF; ++b) {
            if (kSingleByte[b] != 0xFFFF && (*m_codes)[kSingleByte[b]] == 0) {
                (*m_codes)[kSingleByte[b]] = static_cast<std::uint16_t>(b);
            }
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            const int row = leadRow(static_cast<unsigned char>(lead));
            if (row < 0) {
                continue;
            }
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const std::uint16_t cp = kDoubleByte[row * kTrailBytes + trail - 0x40];
                if (cp != 0 && (*m_codes)[cp] == 0) {
                    (*m_codes)[cp] = static_cast<std::uint16_t>(lead << 8 | trail);
                }
            }
        }
        for (const auto& [cp, code] : kEncodeOverrides) {
            (*m_codes)[cp] = code;
        }
    }

    std::uint16_t code(char32_t cp) const { return cp < 0x10000 ? (*m_codes)[cp] : 0; }

private:
    std::unique_ptr<std::array<std::uint16_t, 0x10000>> m_codes;
};

const EncodeTable& encodeTable() {
    static const EncodeTable table;
    return table;
}

}  // namespace

// Written straight into a buffer of the largest size the text can take (no
// code gives more than three UTF-8 bytes for its one or two): this runs over
// every field of every file read.
bool Cp932Decoder::decode(std::string_view bytes, std::string& text, size_t& faultOffset) {
    text.resize(bytes.size() * 3);
    char* out = text.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    size_t i = 0;
    while (i < size) {
        const unsigned char b = in[i];
        if (b < 0x80) {
            *out++ = static_cast<char>(b);
            ++i;
            continue;
        }
        const int row = leadRow(b);
        char32_t cp = 0;
        size_t length = 1;
        if (row < 0) {
            cp = kSingleByte[b] == 0xFFFF ? 0 : kSingleByte[b];
        } else if (i + 1 < size) {
            const unsigned char trail = in[i + 1];
            if (trail >= 0x40 && trail <= 0xFC) {
                cp = kDoubleByte[row * kTrailBytes + trail - 0x40];
            }
            length = 2;
        }
        if (cp == 0) {
            text.resize(static_cast<size_t>(out - text.data()));
            faultOffset = i;
            return false;
        }
        out = putUtf8(out, cp);
        i += length;
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return true;
}

Conversion decodeCp932(std::string_view bytes) {
    Conversion result;
    size_t fault = 0;
    if (!Cp932Decoder().decode(bytes, result.text, fault)) {
        result.ok = false;
        result.offset = fault;
    }
    return result;
}

Conversion encodeCp932(std::string_view utf8) {
    Conversion result;
    const EncodeTable& table = encodeTable();
    // No character takes more bytes in CP932 than in UTF-8.
    result.text.resize(utf8.size());
    char* out = result.text.data();
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
            ++i;
            continue;
        }
        size_t length = 0;
        const char32_t cp = nextCodePoint(utf8.substr(i), length);
        const std::uint16_t code = length == 0 ? 0 : table.code(cp);
        if (code == 0) {
            result.text.resize(static_cast<size_t>(out - result.text.data()));
            result.ok = false;
            result.offset = i;
            result.character = std::string(utf8.substr(i, utf8Length(c)));
            return result;
        }
        if (code > 0xFF) {
            *out++ = static_cast<char>(code >> 8);
        }
        *out++ = static_cast<char>(code & 0xFF);
        i += length;
    }
    result.text.resize(static_cast<size_t>(out - result.text.data()));
    return result;
}

std::string firstUnencodable(std::string_view utf8) {
    const Conversion c = encodeCp932(utf8);
    return c.ok ? std::string() : c.character;
}

}  // namespace studyhop
