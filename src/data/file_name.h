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

// Why Windows cannot hold a file of this name (one part of a path, no
// folders), in a Japanese sentence, or "" when it can: a character Windows
// forbids (< > : " / \ | ? * and control characters), a trailing dot or
// blank, or a device's name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with
// any extension). Checked on every system, so a folder that travels to
// Windows stays readable there. A name in CP932 bytes is checked as it reads.
std::string windowsNameProblem(std::string_view name);

// Whether the name is a device's on Windows ("nul", "CON.qz2", "com1 .txt").
bool windowsReservedName(std::string_view name);

}  // namespace studyhop
