#include "data/cp932.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>

namespace studyhop {

namespace {

// One iconv descriptor per call: conversions are short and this keeps the
// functions re-entrant.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; on a fault returns false with the input offset.
    bool convert(std::string_view input, std::string& output, size_t& faultOffset) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
        output.clear();
        output.reserve(input.size() * 3 / 2 + 16);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[8192];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            const size_t r = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            output.append(buffer, out - buffer);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                faultOffset = input.size() - inLeft;
                return false;
            }
        }
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, out - buffer);
        return true;
    }

private:
    iconv_t m_cd;
};

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

// The CP932 code iconv writes for each BMP character that CP932 has, asked
// of iconv once per character, so that long texts are encoded by table look-up
// with exactly iconv's bytes. 0 marks a character the table does not know
// (the Unicode twins, characters CP932 lacks): such a text goes to iconv whole.
class EncodeTable {
public:
    // Built from whole runs of codes, so that iconv is called a few hundred
    // times rather than once per character: a program pays this once, on its
    // first long text.
    EncodeTable() : m_codes(std::make_unique<std::array<std::uint16_t, 0x10000>>()) {
        m_codes->fill(0);
        Iconv decode("UTF-8", "CP932");
        Iconv encode("CP932", "UTF-8");
        std::string run;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF) {
                continue;
            }
            run.clear();
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                run += static_cast<char>(lead);
                run += static_cast<char>(trail);
            }
            learnRun(decode, encode, run, 2);
        }
        run.clear();
        for (int single = 0xA1; single <= 0xDF; ++single) {
            run += static_cast<char>(single);
        }
        learnRun(decode, encode, run, 1);
    }

    // False when a character is not in the table; `out` is then incomplete.
    bool encode(std::string_view utf8, std::string& out) const {
        // No character takes more bytes in CP932 than in UTF-8.
        out.resize(utf8.size());
        char* o = out.data();
        for (size_t i = 0; i < utf8.size();) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c < 0x80) {
                *o++ = static_cast<char>(c);
                ++i;
                continue;
            }
            const size_t length = utf8Length(c);
            if (length < 2 || length > 3 || i + length > utf8.size()) {
                return false;
            }
            const char32_t cp = codePoint(utf8.substr(i, length));
            const std::uint16_t code = cp < 0x10000 ? (*m_codes)[cp] : 0;
            if (code == 0) {
                return false;
            }
            if (code > 0xFF) {
                *o++ = static_cast<char>(code >> 8);
            }
            *o++ = static_cast<char>(code & 0xFF);
            i += length;
        }
        out.resize(static_cast<size_t>(o - out.data()));
        return true;
    }

private:
    // Learns every code of `run` (codes of `width` bytes) that decodes; an
    // invalid code is stepped over.
    void learnRun(Iconv& decode, Iconv& encode, std::string_view run, size_t width) {
        std::string text;
        size_t pos = 0;
        while (pos < run.size()) {
            size_t fault = 0;
            const std::string_view rest = run.substr(pos);
            const bool ok = decode.convert(rest, text, fault);
            learnDecoded(encode, text);
            pos += ok ? rest.size() : fault - fault % width + width;
        }
    }

    // Encodes decoded characters back in one call and records each one's code.
    void learnDecoded(Iconv& encode, std::string_view text) {
        std::string back;
        size_t fault = 0;
        if (text.empty() || !encode.convert(text, back, fault)) {
            return;  // a character iconv does not take back stays with iconv
        }
        size_t in = 0;
        size_t out = 0;
        while (in < text.size() && out < back.size()) {
            const size_t length = utf8Length(static_cast<unsigned char>(text[in]));
            const auto b0 = static_cast<unsigned char>(back[out]);
            const bool twoBytes = (b0 >= 0x81 && b0 <= 0x9F) || (b0 >= 0xE0 && b0 <= 0xFC);
            if (twoBytes && out + 1 >= back.size()) {
                return;
            }
            const char32_t cp = codePoint(text.substr(in, length));
            if (cp < 0x10000) {
                (*m_codes)[cp] = static_cast<std::uint16_t>(
                    twoBytes ? (b0 << 8) | static_cast<unsigned char>(back[out + 1]) : b0);
            }
            in += length;
            out += twoBytes ? 2 : 1;
        }
    }

    // The code point of a well-formed two- or three-byte sequence; anything
    // else gives a value the table never holds.
    static char32_t codePoint(std::string_view s) {
        const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
        if (s.size() == 2 && (b(0) & 0xE0) == 0xC0 && (b(1) & 0xC0) == 0x80) {
            const char32_t cp = ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
            return cp >= 0x80 ? cp : 0x10000;
        }
        if (s.size() == 3 && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 &&
            (b(2) & 0xC0) == 0x80) {
            const char32_t cp = ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
            return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? cp : 0x10000;
        }
        return 0x10000;
    }

    std::unique_ptr<std::array<std::uint16_t, 0x10000>> m_codes;
};

const EncodeTable& encodeTable() {
    static const EncodeTable table;
    return table;
}

}  // namespace

Cp932Decoder::Cp932Decoder() : m_cd(new Iconv("UTF-8", "CP932")) {}

Cp932Decoder::~Cp932Decoder() {
    delete static_cast<Iconv*>(m_cd);
}

bool Cp932Decoder::decode(std::string_view bytes, std::string& text, size_t& faultOffset) {
    auto* cd = static_cast<Iconv*>(m_cd);
    if (!cd->valid()) {
        faultOffset = 0;
        return false;
    }
    // Plain ASCII needs no conversion.
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        text.assign(bytes);
        return true;
    }
    return cd->convert(bytes, text, faultOffset);
}

Conversion decodeCp932(std::string_view bytes) {
    Conversion result;
    Cp932Decoder decoder;
    size_t fault = 0;
    if (!decoder.decode(bytes, result.text, fault)) {
        result.ok = false;
        result.offset = fault;
    }
    return result;
}

Conversion encodeCp932(std::string_view utf8) {
    Conversion result;
    // Long texts by table; short ones, and any text the table cannot do,
    // by iconv, which also names the fault.
    if (utf8.size() >= 4096 && encodeTable().encode(utf8, result.text)) {
        return result;
    }
    result.text.clear();
    Iconv cd("CP932", "UTF-8");
    if (!cd.valid()) {
        result.ok = false;
        return result;
    }
    size_t fault = 0;
    if (!cd.convert(utf8, result.text, fault)) {
        result.ok = false;
        result.offset = fault;
        if (fault < utf8.size()) {
            const size_t length = utf8Length(static_cast<unsigned char>(utf8[fault]));
            result.character = std::string(utf8.substr(fault, length));
        }
    }
    return result;
}

std::string firstUnencodable(std::string_view utf8) {
    const Conversion c = encodeCp932(utf8);
    return c.ok ? std::string() : c.character;
}

}  // namespace studyhop
