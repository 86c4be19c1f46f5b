#include "data/cp932.h"

#include <iconv.h>

#include <cerrno>

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
