#include "data/file_name.h"

#include <algorithm>

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

}  // namespace studyhop
