#pragma once

#include <string>
#include <string_view>

namespace studyhop {

// Result of a conversion. On failure `offset` is the byte offset of the fault
// in the input and `character` the character that could not be converted
// (for encoding) or is empty (for decoding).
struct Conversion {
    bool ok = true;
    std::string text;
    size_t offset = 0;
    std::string character;
};

// A reusable CP932 to UTF-8 converter, for decoding many short pieces.
class Cp932Decoder {
public:
    Cp932Decoder();
    ~Cp932Decoder();
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;

    // False on bytes that are not CP932; `faultOffset` is then their offset.
    bool decode(std::string_view bytes, std::string& text, size_t& faultOffset);

private:
    void* m_cd;
};

// CP932 (Windows Shift_JIS) bytes to UTF-8, with Windows' mapping.
Conversion decodeCp932(std::string_view bytes);
// UTF-8 to CP932. The Unicode twins of CP932 characters (U+301C, U+2212, ...)
// become the bytes Windows writes for them; a character CP932 lacks fails.
Conversion encodeCp932(std::string_view utf8);

// The first character of a UTF-8 text that CP932 cannot hold, or "" if none.
std::string firstUnencodable(std::string_view utf8);

}  // namespace studyhop
