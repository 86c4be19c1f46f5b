#include "data/settings_file.h"

#include <strings.h>

#include <array>
#include <optional>
#include <vector>

#include "data/cell.h"
#include "data/field_reader.h"
#include "data/file_io.h"

namespace studyhop {

namespace {

constexpr int kSlots = 4;

}  // namespace

bool parseSettings(std::string_view bytes, SettingsRead& result) {
    if (bytes.find('\0') != std::string_view::npos) {
        return false;
    }
    FieldReader reader(bytes);
    std::array<Cell, kSlots> slots{};
    int count = 0;
    while (!reader.atEndOfRecords()) {
        if (count >= kSlots || !reader.readField(slots[count])) {
            return false;
        }
        ++count;
    }
    if (count < 2) {
        return false;
    }
    const auto rate = wholeNumber(slots[0], 0, 9);
    const auto order = wholeNumber(slots[1], 0, 1);
    if (!rate || !order) {
        return false;
    }
    result.rateFilter = std::to_string(*rate);
    result.order = std::to_string(*order);
    return true;
}

namespace {

bool readValues(FileSystem& fs, const std::string& path, SettingsRead& result) {
    std::string bytes;
    return fs.readFile(path, bytes, kMaxFileBytes, &result.stamp).ok() &&
           parseSettings(bytes, result);
}

}  // namespace

std::string settingsPath(const FileSystem& fs) {
    std::vector<std::string> matches;
    for (const std::string& name : fs.list()) {
        if (::strcasecmp(name.c_str(), kSettingsReadName) == 0) {
            matches.push_back(name);
        }
    }
    if (matches.empty()) {
        return kSettingsWriteName;
    }
    // Several spellings can only be made by hand; pick one the same way every time.
    std::string chosen = matches.front();
    for (const std::string& m : matches) {
        if (m == kSettingsWriteName) {
            chosen = m;
            break;
        }
        if (m < chosen) {
            chosen = m;
        }
    }
    return chosen;
}

SettingsRead readSettings(FileSystem& fs) {
    SettingsRead result;
    const std::string path = settingsPath(fs);
    if (readValues(fs, path, result)) {
        return result;
    }
    const FileStamp read = result.stamp;
    result = SettingsRead{};
    result.usedDefaults = true;
    WriteCheck check;
    result.writeStatus = encodeAndReplace(fs, path, "\"0\",\"0\"\r\n", &check);
    result.stamp = result.writeStatus.ok() ? check.written : read;
    return result;
}

Status writeSettings(FileSystem& fs, int rateFilter, int order, WriteCheck* check) {
    return encodeAndReplace(fs, settingsPath(fs),
                            std::to_string(rateFilter) + "," + std::to_string(order) + "\r\n",
                            check);
}

}  // namespace studyhop
