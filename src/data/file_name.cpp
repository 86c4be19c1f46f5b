#include "data/file_name.h"

#include <algorithm>
#include <array>
#include <cctype>

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

}  // namespace studyhop
