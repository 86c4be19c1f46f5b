#pragma once

#include <string_view>

namespace studyhop {

// The byte order mark some programs put at the start of UTF-8 text.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// What the user is told about a UTF-8 question file: what it is and how to
// turn it into one the program reads.
inline constexpr const char* kUtf8ImportHint =
    "UTF-8のテキストです。studyhop-tool import で問題ファイルに変換できます";

// True when `bytes` are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// True when `bytes` are UTF-8 text that no CP932 reader may take: they begin
// with a byte order mark, or they are valid UTF-8 and hold at least one
// character of three or more bytes (every kana and kanji is one). Plain ASCII
// is the same in both encodings. Two-byte sequences alone do not count: pairs
// of half-width katakana in CP932 ("ﾅｼ" is C5 BC) are valid UTF-8 too, while
// a CP932 kanji is never valid UTF-8.
bool looksLikeUtf8Text(std::string_view bytes);


// True when every byte above 0x7F belongs to an EUC-JP character: a
// character JIS X 0208 assigns (with row 13, the NEC symbols such as ① and
// ㍻ that Windows' EUC-JP adds), a half-width katakana (8E A1-DF) or a JIS X 0212
// character (8F and two bytes). A CP932 text with full-width characters is
// almost never valid EUC-JP: its lead bytes 0x81-0x9F are no EUC-JP bytes.
bool isValidEucJp(std::string_view bytes);

// True when `bytes` are 7-bit and hold one of ISO-2022-JP's escape sequences
// (ESC $ B, ESC $ @, ESC ( J, ESC ( I, ESC $ ( D).
bool isIso2022Jp(std::string_view bytes);

}  // namespace studyhop
