#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/cell.h"
#include "data/question_file.h"
#include "data/question_table.h"

namespace studyhop::tool {

// What a text cell reads back as after the program writes it into a file of
// `format` (in the first record when `firstRecord`) and reads the file again,
// when that differs from what the cell shows now; nullopt when it reads back
// the same. Decided by the real writer and reader, not by a copy of their
// rules: "007" reads back as 7 and leading blanks are lost in the plain style.
// A Unicode twin of a CP932 character (U+301C for 0x8160) that comes back as
// the character Windows reads counts as the same.
std::optional<std::string> readsBackAs(const Cell& cell, int column, FileFormat format,
                                       bool firstRecord);

// A text cell of a table that reads back as something else.
struct ReadBackDifference {
    int row = 0;
    int column = 0;
    std::string readBack;
};

// The text cells of rows 0..rows-1, columns 0..columns-1, that read back
// differently, as readsBackAs would find one by one; the whole table makes one
// round trip, and only rows that come back changed are looked at cell by cell.
// `fileBytes`, when given, receives the file's bytes as the program writes
// them (empty when the texts cannot be encoded).
std::vector<ReadBackDifference> readBackDifferences(const QuestionTable& table, int rows,
                                                    int columns, FileFormat format,
                                                    std::string* fileBytes = nullptr);

// A Japanese sentence about a character a question file cannot hold:
// separators, quotes and line breaks, other control characters, and
// characters CP932 lacks (named with their code point).
std::string unstorableMessage(const std::string& character);

// "U+20BB7" for the first character of a UTF-8 text.
std::string codePointName(const std::string& character);

}  // namespace studyhop::tool
