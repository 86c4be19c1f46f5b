#pragma once

#include <string_view>

namespace studyhop::tool {

// The one place that names the encoding of a text made elsewhere: a sheet
// to import, or a question file to check.
enum class TextEncoding { Utf8, Cp932, EucJp, Iso2022Jp, Utf16, Unknown };

struct Detection {
    TextEncoding encoding = TextEncoding::Unknown;
    // Taken as CP932 although the bytes are valid EUC-JP too: nothing in
    // them told the two apart (a few kanji whose EUC-JP bytes all read as
    // half-width katakana).
    bool eucJpToo = false;
};

// The strict byte rules decide wherever they can: a byte order mark; UTF-8
// with a character of three bytes or more; ISO-2022-JP's escapes; bytes that
// are valid in one of CP932 and EUC-JP only; valid UTF-8 that is neither.
// Bytes valid in both CP932 and EUC-JP are EUC-JP when
// - read as CP932 they hold a kanji of lead byte 0xE0 or above (the second
//   level and the extensions) and, as they are valid EUC-JP, no kana, no
//   full-width sign and no first-level kanji (those have lead bytes
//   0x81-0x9F): no Japanese text is written so, while EUC-JP kanji read so
//   as soon as a trail byte is 0xE0 or above;
// - read as EUC-JP they hold kana or Japanese punctuation (rows 1 to 5);
// - read as CP932 their half-width katakana break the rules of the script (a
//   sound mark after a kana that takes none, a small kana after one it never
//   follows or at the start of a word);
// - or uchardet, where the program was built with it, names EUC-JP.
// Otherwise they are CP932, with `eucJpToo` set when they are not ASCII.
//
// uchardet alone does not decide: on sheets of one to five rows it named
// short EUC-JP sheets GB18030, WINDOWS-1252 or UTF-8, or nothing, as often
// as EUC-JP, and CP932 of half-width katakana UTF-8 or WINDOWS-1252 (see
// docs/reliability.md).
Detection detectEncoding(std::string_view bytes);

}  // namespace studyhop::tool
