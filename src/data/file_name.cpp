#include "data/file_name.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <regex>

#include "data/cp932.h"
#include "data/text_encoding.h"

namespace studyhop {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

DisplayName displayFileName(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        return {std::string(bytes), NameEncoding::Utf8};
    }
    Conversion whole = decodeCp932(bytes);
    if (whole.ok) {
        return {std::move(whole.text), NameEncoding::Cp932};
    }
    // Decode what can be decoded and mark each byte that cannot. Every pass
    // consumes at least one byte, so this ends.
    std::string text;
    while (!bytes.empty()) {
        const Conversion part = decodeCp932(bytes);
        if (part.ok) {
            text += part.text;
            break;
        }
        const size_t fault = std::min(part.offset, bytes.size() - 1);
        const Conversion before = decodeCp932(bytes.substr(0, fault));
        if (before.ok) {
            text += before.text;
        }
        text += kReplacement;
        bytes.remove_prefix(fault + 1);
    }
    return {std::move(text), NameEncoding::Undecodable};
}

bool windowsReservedName(std::string_view name) {
    std::string stem(name.substr(0, std::min(name.find('.'), name.size())));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (char& c : stem) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::string windowsNameProblem(std::string_view name) {
    const std::string text = displayFileName(name).text;
    if (text.empty()) {
        return "ファイル名が空です。";
    }
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return "ファイル名に制御文字は使えません。";
        }
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
            return std::string("ファイル名に「") + c + "」は使えません。";
        }
    }
    if (text.back() == '.' || text.back() == ' ') {
        return "ファイル名の最後に「.」や空白は使えません。";
    }
    if (windowsReservedName(text)) {
        return "「" + text.substr(0, text.find('.')) +
               "」はWindowsの装置の名前なので、ファイル名に使えません。";
    }
    return {};
}

namespace {

// One engine's way of naming a conflict copy. Groups: 1 the original's stem,
// 2-4 year, month, day, 5-7 hour, minute, second (empty for a day only), and
// the last group what follows the mark (the extension).
struct CopyPattern {
    std::regex re;
    bool hasTime;
};

const std::vector<CopyPattern>& copyPatterns() {
    constexpr auto flags = std::regex::ECMAScript | std::regex::icase;
    static const std::vector<CopyPattern> patterns = {
        // Syncthing: the mark goes before the last extension; older versions
        // wrote no device.
        {std::regex(R"(^(.+)\.sync-conflict-(\d{4})(\d{2})(\d{2})-(\d{2})(\d{2})(\d{2})(?:-[0-9a-z]+)?)"
                    R"((\.[^.]*)?$)",
                    flags),
         true},
        // Nextcloud and ownCloud; the user name never holds parentheses.
        {std::regex(R"(^(.+) \(conflicted copy (?:[^()]* )?(\d{4})-(\d{2})-(\d{2}) (\d{2})(\d{2})(\d{2})\))"
                    R"((.*)$)",
                    flags),
         true},
        {std::regex(R"(^(.+)_conflict-(\d{4})(\d{2})(\d{2})-(\d{2})(\d{2})(\d{2})(\.[^.]*)?$)", flags),
         true},
        // Dropbox: "(conflicted copy DATE)" or "(WHO's conflicted copy DATE)",
        // the apostrophe plain or typographic.
        {std::regex(R"(^(.+) \((?:[^()]+(?:'|\xE2\x80\x99)s )?conflicted copy (\d{4})-(\d{2})-(\d{2}))"
                    R"((?: \(\d+\))?\)(.*)$)",
                    flags),
         false},
    };
    return patterns;
}

// One mark taken off: the name it was made from.
std::optional<ConflictCopy> outerMark(std::string_view name) {
    const std::string text(name);
    for (const CopyPattern& pattern : copyPatterns()) {
        std::smatch m;
        if (!std::regex_match(text, m, pattern.re)) {
            continue;
        }
        ConflictCopy copy;
        copy.original = m[1].str() + m[m.size() - 1].str();
        copy.date = m[2].str() + "-" + m[3].str() + "-" + m[4].str();
        if (pattern.hasTime) {
            copy.time = m[5].str() + ":" + m[6].str() + ":" + m[7].str();
        }
        return copy;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ConflictCopy> conflictCopy(std::string_view name) {
    // The folder is no part of the mark.
    const size_t slash = name.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? "" : name.substr(0, slash + 1);
    std::optional<ConflictCopy> copy = outerMark(name.substr(folder.size()));
    if (!copy) {
        return std::nullopt;
    }
    // A copy of a copy: the file they all come from. Each mark taken off
    // makes the name shorter, so this ends.
    while (const std::optional<ConflictCopy> inner = outerMark(copy->original)) {
        copy->original = inner->original;
    }
    copy->original = std::string(folder) + copy->original;
    return copy;
}

std::vector<std::string> conflictCopiesOf(std::string_view name,
                                          const std::vector<std::string>& names) {
    std::vector<std::string> copies;
    for (const std::string& candidate : names) {
        const std::optional<ConflictCopy> copy = conflictCopy(candidate);
        if (copy && copy->original == name) {
            copies.push_back(candidate);
        }
    }
    return copies;
}

}  // namespace studyhop
