#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A copy that a sync engine made of a file changed on two machines at once.
struct ConflictCopy {
    // The file it is a copy of (a copy of a copy names the file itself), in
    // the bytes of the copy's name, with its folder when the name had one.
    std::string original;
    // When the engine made it, as its name says: "2026-12-08", and "10:15:00"
    // or "" (Dropbox names the day only).
    std::string date;
    std::string time;
};

// Whether `name` is the name of a conflict copy as Syncthing writes it
// ("NAME.sync-conflict-20261208-101500-ABCDEFG.qz2"), as Nextcloud and
// ownCloud do ("NAME (conflicted copy [USER ]2026-12-08 101500).qz2", and the
// older "NAME_conflict-20261208-101500.qz2"), or Dropbox
// ("NAME (conflicted copy 2026-12-08).qz2", "NAME (USER's conflicted copy
// 2026-12-08).qz2", with " (1)" before the closing parenthesis for a second
// copy on one day). Letter case does not matter. Works on the bytes of a
// name in UTF-8 or CP932: the marks are ASCII and start at a blank, a "." or
// a "_", and the rest of the name is kept as it is.
std::optional<ConflictCopy> conflictCopy(std::string_view name);

// The names among `names` that are conflict copies of `name`, in the order given.
std::vector<std::string> conflictCopiesOf(std::string_view name,
                                          const std::vector<std::string>& names);

}  // namespace studyhop
