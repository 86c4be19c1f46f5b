#pragma once

#include <optional>
#include <string>
#include <vector>

namespace studyhop {

// A character that a question file cannot hold faithfully, and where it is.
struct Unstorable {
    int field = 0;          // index into the texts checked
    std::string character;  // the character as UTF-8
};

// The first character in `texts` that a question file cannot store: a comma,
// a double quote, a line break or another control character (they split or
// end a field when read back), or a character that CP932 lacks.
std::optional<Unstorable> findUnstorable(const std::vector<std::string>& texts);

}  // namespace studyhop
