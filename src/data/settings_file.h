#pragma once

#include <string>

#include "data/file_io.h"
#include "data/status.h"

namespace studyhop {

// The settings file keeps the rate filter (0..9) and the question order
// (0 registration, 1 random). It is read as "system.sys" and written as
// "System.sys"; both name one file, found without regard to letter case.
inline constexpr const char* kSettingsReadName = "system.sys";
inline constexpr const char* kSettingsWriteName = "System.sys";

struct SettingsRead {
    std::string rateFilter = "0";  // Tex1
    std::string order = "0";       // Tex2
    bool usedDefaults = false;     // the file was missing or unusable and rewritten
    Status writeStatus;            // how rewriting the defaults went
    FileStamp stamp;               // the file as read, or as the defaults left it
};

// Reads the settings from the file system's directory. A missing or unreadable file, more than four
// fields, fewer than two, or values that are not whole numbers in range give
// the defaults "0" and "0", which are then written back in quoted style.
SettingsRead readSettings(FileSystem& fs);

// Reads settings from bytes in memory: true with the two values set when the
// bytes are a usable settings file.
bool parseSettings(std::string_view bytes, SettingsRead& result);

// Writes the two values as bare integers: "4,1" CR LF. `check` as for
// FileSystem::replaceFile.
Status writeSettings(FileSystem& fs, int rateFilter, int order, WriteCheck* check = nullptr);

// The name of the settings file in the file system's directory: the existing
// file whose name matches without regard to case, else "System.sys".
std::string settingsPath(const FileSystem& fs);

}  // namespace studyhop
