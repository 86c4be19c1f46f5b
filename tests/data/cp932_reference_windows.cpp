#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "data/cp932_reference.h"

namespace studyhop::test {

namespace {

std::optional<char32_t> decode(std::string_view code) {
    wchar_t wide[4];
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, code.data(),
                                      static_cast<int>(code.size()), wide, 4);
    if (n != 1) {
        return std::nullopt;
    }
    return static_cast<char32_t>(wide[0]);
}

std::optional<std::string> encode(char32_t cp) {
    if (cp > 0xFFFF) {
        return std::nullopt;
    }
    const wchar_t wide = static_cast<wchar_t>(cp);
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, 4, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) {
        return std::nullopt;
    }
    return std::string(bytes, static_cast<size_t>(n));
}

}  // namespace

const Cp932Reference& cp932Reference() {
    // The Unicode twins of CP932 characters: with WC_NO_BEST_FIT_CHARS Windows
    // refuses them, while both builds store them as their CP932 look-alikes,
    // as the Linux build always has (text typed through an IME or pasted from
    // a web page holds them).
    // The single bytes 0x80, 0xA0 and 0xFD-0xFF are no characters of
    // Shift_JIS. Windows maps them to U+0080 and the private-use U+F8F0-U+F8F3
    // so that any bytes survive a round trip (Wine decodes only 0x80 so);
    // in a question file they are not text, and both builds refuse them and
    // those characters, as the Linux build always has.
    static const Cp932Reference reference{
        "Windows code page 932",
        decode,
        encode,
        {0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014, 0x2016, 0x203E, 0x2212, 0x301C},
        {0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3},
        {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"}};
    return reference;
}

}  // namespace studyhop::test
