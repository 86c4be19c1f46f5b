#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace studyhop {

// A character that a question file cannot hold faithfully, and where it is.
struct Unstorable {
    int field = 0;          // index into the texts checked
    std::string character;  // the character as UTF-8
};

// The first character in `texts` that splits or ends a field when a question
// file is read back: a comma, a double quote, a line break or another control
// character. Checks no encoding, so it is cheap on long texts. The result's
// `field` is 0.
std::optional<Unstorable> findFieldBreaker(std::string_view text);

// The first character in `texts` that a question file cannot store: a comma,
// a double quote, a line break or another control character (they split or
// end a field when read back), or a character that CP932 lacks.
std::optional<Unstorable> findUnstorable(const std::vector<std::string>& texts);

}  // namespace studyhop
