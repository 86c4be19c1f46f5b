#pragma once

#include <optional>
#include <string>

#include "data/cell.h"
#include "data/question_file.h"

namespace studyhop::tool {

// What a text cell reads back as after the program writes it into a file of
// `format` (in the first record when `firstRecord`) and reads the file again,
// when that differs from what the cell shows now; nullopt when it reads back
// the same. Decided by the real writer and reader, not by a copy of their
// rules: "007" reads back as 7 and leading blanks are lost in the plain style.
std::optional<std::string> readsBackAs(const Cell& cell, int column, FileFormat format,
                                       bool firstRecord);

// A Japanese sentence about a character a question file cannot hold:
// separators, quotes and line breaks, other control characters, and
// characters CP932 lacks (named with their code point).
std::string unstorableMessage(const std::string& character);

// "U+20BB7" for the first character of a UTF-8 text.
std::string codePointName(const std::string& character);

}  // namespace studyhop::tool
