#pragma once

#include <optional>
#include <string>

#include "data/file_io.h"
#include "data/status.h"

namespace studyhop {

// The settings file keeps the rate filter (0..9) and the question order
// (0 registration, 1 random). It is read as "system.sys" and written as
// "System.sys"; both name one file, found without regard to letter case, so
// the "SYSTEM.SYS" of older copies on Windows media is still read. A file of
// that name that does not read as settings (a DOS configuration file, a
// binary) belongs to someone else and is never written.
inline constexpr const char* kSettingsReadName = "system.sys";
inline constexpr const char* kSettingsWriteName = "System.sys";

// What the start-up does when there is no settings file.
enum class MissingSettings {
    Create,  // write the defaults (the program's own folder)
    Leave,   // create nothing (a folder the program was only started in)
};

struct SettingsRead {
    std::string rateFilter = "0";  // Tex1
    std::string order = "0";       // Tex2
    bool usedDefaults = false;     // no usable file: the values are the defaults
    bool notOurs = false;          // the file exists but is no settings file of ours
    Status readStatus;             // why a file that is not ours could not be read, if so
    Status writeStatus;            // how creating the missing file went
    FileStamp stamp;               // the file as read or created
    std::string path;              // the settings file's name in the directory
};

// Reads the settings from the file system's directory. A missing file gives
// the defaults "0" and "0", written in quoted style when `missing` says so
// (and only while there is still no file). A file that cannot be read, has
// more than four fields or fewer than two, or values that are not whole
// numbers in range, is not ours: it gives the defaults and is left as it is.
SettingsRead readSettings(FileSystem& fs, MissingSettings missing = MissingSettings::Create);

// Reads settings from bytes in memory: true with the two values set when the
// bytes are a usable settings file.
bool parseSettings(std::string_view bytes, SettingsRead& result);

// The settings the user changed; an unset value keeps what the file holds.
struct SettingsChange {
    std::optional<int> rateFilter;
    std::optional<int> order;
};

// Puts `change` onto the settings file as it is now (see rewriteFile): the
// changed values replace the file's own, written as bare integers ("4,1"
// CR LF). A missing file is created (unchanged values as the defaults). A
// file that is not ours is left as it is: `now.notOurs` and a BadValue
// status. Busy while another copy saves. `now` receives the file's values
// after a successful write.
Status updateSettings(FileSystem& fs, const SettingsChange& change, SettingsRead& now);

// What the user is told, once, about a settings file that is not ours: it is
// left as it is, and settings chosen now hold only until the program ends.
// At start-up it adds that the defaults are in use.
std::string notOursNotice(const std::string& path, bool atStartUp);

// The name of the settings file in the file system's directory: the existing
// file whose name matches without regard to case, else "System.sys".
std::string settingsPath(const FileSystem& fs);

}  // namespace studyhop
