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

// A CP932 to UTF-8 converter, for decoding many short pieces.
class Cp932Decoder {
public:
    // False on bytes that are not CP932; `faultOffset` is then their offset
    // (of the lead byte, for a double-byte code) and `text` holds what came
    // before it.
    bool decode(std::string_view bytes, std::string& text, size_t& faultOffset);
};

// CP932 and UTF-8 convert through one table (cp932_table.inc), the same on
// Linux and Windows, so that both builds read and write the same bytes and
// refuse the same characters.

// CP932 (Windows Shift_JIS) bytes to UTF-8, with Windows' mapping.
Conversion decodeCp932(std::string_view bytes);
// UTF-8 to CP932. The Unicode twins of CP932 characters (U+301C, U+2212,
// U+00A5, ...) become the bytes of their CP932 look-alikes (0x8160, 0x817C,
// 0x5C, ...); a character CP932 lacks fails.
Conversion encodeCp932(std::string_view utf8);

// The first character of a UTF-8 text that CP932 cannot hold, or "" if none.
std::string firstUnencodable(std::string_view utf8);

}  // namespace studyhop
