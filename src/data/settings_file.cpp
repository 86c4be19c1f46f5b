#include "data/settings_file.h"

#include <strings.h>

#include <array>
#include <optional>
#include <string>
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

std::string settingsLine(int rateFilter, int order) {
    return std::to_string(rateFilter) + "," + std::to_string(order) + "\r\n";
}

// Reads the file as it is now into `result`. NotFound leaves the defaults; any
// other failure, or bytes that are no settings, mark the file as not ours.
void readCurrent(FileSystem& fs, SettingsRead& result) {
    result = SettingsRead{};
    result.path = settingsPath(fs);
    std::string bytes;
    const Status read = fs.readFile(result.path, bytes, kMaxFileBytes, &result.stamp);
    if (read.ok() && parseSettings(bytes, result)) {
        return;
    }
    // parseSettings sets the values only when it succeeds: they are the defaults.
    result.usedDefaults = true;
    result.notOurs = read.kind() != ErrorKind::NotFound;
    if (result.notOurs) {
        result.readStatus = read;
    }
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

SettingsRead readSettings(FileSystem& fs, MissingSettings missing) {
    SettingsRead result;
    readCurrent(fs, result);
    if (!result.usedDefaults || result.notOurs || missing == MissingSettings::Leave) {
        return result;
    }
    // Created only where there is still no file: one that appeared meanwhile
    // may be anyone's.
    result.writeStatus = rewriteFile(
        fs, result.path,
        [](const Status& read, std::string&, const FileStamp&) {
            RewritePlan plan;
            if (read.kind() == ErrorKind::NotFound) {
                plan.action = RewritePlan::Action::Replace;
                plan.bytes = "\"0\",\"0\"\r\n";
            }
            return plan;
        },
        &result.stamp);
    return result;
}

Status updateSettings(FileSystem& fs, const SettingsChange& change, SettingsRead& now) {
    now = SettingsRead{};
    now.path = settingsPath(fs);
    bool read = false;
    const Status status = rewriteFile(
        fs, now.path,
        [&](const Status& readStatus, std::string& bytes, const FileStamp& stamp) {
            read = true;
            RewritePlan plan;
            SettingsRead current;
            current.path = now.path;
            current.stamp = stamp;
            if (readStatus.ok() && !parseSettings(bytes, current)) {
                current.notOurs = true;
                current.usedDefaults = true;
                now = current;
                plan.status = Status::error(ErrorKind::BadValue, now.path, 0,
                                            "このプログラムの設定ファイルではないため書き換えません");
                return plan;
            }
            const int rate = change.rateFilter.value_or(std::stoi(current.rateFilter));
            const int order = change.order.value_or(std::stoi(current.order));
            current.rateFilter = std::to_string(rate);
            current.order = std::to_string(order);
            now = current;
            plan.action = RewritePlan::Action::Replace;
            plan.bytes = settingsLine(rate, order);
            return plan;
        },
        &now.stamp);
    // A file that cannot even be read as text (too large, a pipe, refused)
    // is no settings file of ours either.
    if (!read && status.kind() != ErrorKind::Busy) {
        now.notOurs = true;
        now.usedDefaults = true;
        now.readStatus = status;
    }
    return status;
}

std::string notOursNotice(const std::string& path, bool atStartUp) {
    return "次のファイルはこのプログラムの設定ファイルとして読めません。\r\nファイル名 ：" + path +
           "\r\nこのファイルは書き換えずに、そのままにします。" +
           (atStartUp ? "\r\n既定の設定（すべての問題を登録順）で起動します。" : "") +
           "\r\n設定を変えても保存されず、終了するまで有効です。";
}

}  // namespace studyhop
