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


// The other encodings a Japanese PC saves text in, which a CP932 reader would
// take for garbled half-width katakana (EUC-JP) or for plain ASCII with escape
// codes in it (ISO-2022-JP).
enum class OtherJapaneseEncoding { None, EucJp, Iso2022Jp };

// Names the encoding when `bytes` are ISO-2022-JP (7-bit text with its escape
// sequences) or EUC-JP: every byte above 0x7F belongs to an EUC-JP character
// and at least one of them is a kana or a Japanese punctuation mark (rows 1
// to 5), which every Japanese sentence has. A CP932 text with full-width
// characters is never valid EUC-JP (its lead bytes 0x81-0x9F are not EUC-JP
// bytes), so only CP932 made of half-width katakana can look like it.
OtherJapaneseEncoding otherJapaneseEncoding(std::string_view bytes);

}  // namespace studyhop
