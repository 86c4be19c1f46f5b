#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace studyhop::test {

// The system's own CP932 conversion, which the program's table must match:
// glibc's iconv on Linux (what the Linux build used before the table),
// Windows' code page 932 on Windows (under Wine in the cross-build's tests).
struct Cp932Reference {
    const char* name;
    // The character of one code (one or two bytes), nullopt when the system
    // refuses it.
    std::optional<char32_t> (*decode)(std::string_view code);
    // The bytes of one character, nullopt when the system refuses it.
    std::optional<std::string> (*encode)(char32_t character);
    // Characters the program encodes although this system refuses them,
    // characters it refuses although the system encodes them, and codes it
    // refuses although the system decodes them; the reasons are in the
    // system's file.
    std::vector<char32_t> encodedHere;
    std::vector<char32_t> refusedHere;
    std::vector<std::string> refusedCodes;
};

const Cp932Reference& cp932Reference();

}  // namespace studyhop::test
