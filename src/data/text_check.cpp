#include "data/text_check.h"

#include "data/cp932.h"

namespace studyhop {

std::optional<Unstorable> findFieldBreaker(std::string_view text) {
    for (char c : text) {
        if (c == ',' || c == '"' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7F) {
            return Unstorable{0, std::string(1, c)};
        }
    }
    return std::nullopt;
}

std::optional<Unstorable> findUnstorable(const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string& text = texts[i];
        if (auto breaker = findFieldBreaker(text)) {
            breaker->field = static_cast<int>(i);
            return breaker;
        }
        std::string missing = firstUnencodable(text);
        if (!missing.empty()) {
            return Unstorable{static_cast<int>(i), std::move(missing)};
        }
    }
    return std::nullopt;
}

}  // namespace studyhop
