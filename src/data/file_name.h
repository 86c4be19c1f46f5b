#pragma once

#include <string>
#include <string_view>

namespace studyhop {

// How the bytes of a file name were read for display.
enum class NameEncoding { Utf8, Cp932, Undecodable };

struct DisplayName {
    std::string text;  // UTF-8, for display only: open the file by its bytes
    NameEncoding encoding = NameEncoding::Utf8;
};

// The text to show for a file name's bytes: the name itself when it is valid
// UTF-8, else its CP932 reading (names unpacked from Windows archives), else
// the CP932 reading with U+FFFD for every byte that is neither.
DisplayName displayFileName(std::string_view bytes);

}  // namespace studyhop
