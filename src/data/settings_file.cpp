#include "data/settings_file.h"

#include <dirent.h>
#include <strings.h>

#include <array>
#include <optional>
#include <vector>

#include "data/cell.h"
#include "data/field_reader.h"
#include "data/file_io.h"
#include "data/question_file.h"

namespace studyhop {

namespace {

constexpr int kSlots = 4;

std::string joinPath(const std::string& dir, const std::string& name) {
    return dir.empty() || dir == "." ? name : dir + "/" + name;
}

// A whole number from lo to hi, or nothing.
std::optional<int> wholeInRange(const Cell& cell, int lo, int hi) {
    if (cell.isEmpty()) {
        return std::nullopt;
    }
    const auto v = cell.numericValue();
    if (!v || *v < lo || *v > hi || *v != static_cast<int>(*v)) {
        return std::nullopt;
    }
    return static_cast<int>(*v);
}

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
    const auto rate = wholeInRange(slots[0], 0, 9);
    const auto order = wholeInRange(slots[1], 0, 1);
    if (!rate || !order) {
        return false;
    }
    result.rateFilter = std::to_string(*rate);
    result.order = std::to_string(*order);
    return true;
}

namespace {

bool readValues(const std::string& path, SettingsRead& result) {
    std::string bytes;
    return readFile(path, bytes).ok() && parseSettings(bytes, result);
}

}  // namespace

std::string settingsPath(const std::string& dir) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) {
        return joinPath(dir, kSettingsWriteName);
    }
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(d)) {
        if (::strcasecmp(entry->d_name, kSettingsReadName) == 0) {
            matches.emplace_back(entry->d_name);
        }
    }
    ::closedir(d);
    if (matches.empty()) {
        return joinPath(dir, kSettingsWriteName);
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
    return joinPath(dir, chosen);
}

SettingsRead readSettings(const std::string& dir) {
    SettingsRead result;
    const std::string path = settingsPath(dir);
    if (readValues(path, result)) {
        return result;
    }
    result = SettingsRead{};
    result.usedDefaults = true;
    result.writeStatus = encodeAndReplace(path, "\"0\",\"0\"\r\n");
    return result;
}

Status writeSettings(int rateFilter, int order, const std::string& dir) {
    return encodeAndReplace(settingsPath(dir),
                            std::to_string(rateFilter) + "," + std::to_string(order) + "\r\n");
}

}  // namespace studyhop
