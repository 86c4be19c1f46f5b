#include "tool/read_back.h"

#include <algorithm>
#include <cstdio>

#include "data/cp932.h"
#include "data/question_table.h"

namespace studyhop::tool {

std::optional<std::string> readsBackAs(const Cell& cell, int column, FileFormat format,
                                       bool firstRecord) {
    if (!cell.isText()) {
        return std::nullopt;
    }
    QuestionTable table;
    const int row = firstRecord ? 0 : 1;
    table.rows[row][column] = cell;
    const Conversion bytes = encodeCp932(questionFileText(format, table, 2));
    if (!bytes.ok) {
        return std::string();
    }
    const LoadResult loaded = format == FileFormat::Current
                                  ? parseCurrentQuestionFile("", bytes.text)
                                  : parseLegacyQuestionFile("", bytes.text);
    if (!loaded.status.ok() || loaded.recordsRead != 2) {
        return std::string();
    }
    const std::string back = loaded.table.rows[row][column].asText();
    if (back == cell.asText()) {
        return std::nullopt;
    }
    const Conversion stored = encodeCp932(cell.asText());
    if (stored.ok && decodeCp932(stored.text).text == back) {
        return std::nullopt;
    }
    return back;
}

std::vector<ReadBackDifference> readBackDifferences(const QuestionTable& table, int rows,
                                                    int columns, FileFormat format,
                                                    std::string* fileBytes) {
    rows = std::clamp(rows, 0, kRows);
    LoadResult loaded;
    Conversion bytes = encodeCp932(questionFileText(format, table, rows));
    if (bytes.ok) {
        loaded = format == FileFormat::Current ? parseCurrentQuestionFile("", bytes.text)
                                               : parseLegacyQuestionFile("", bytes.text);
    }
    if (fileBytes != nullptr) {
        *fileBytes = bytes.ok ? std::move(bytes.text) : std::string();
    }
    std::vector<ReadBackDifference> differences;
    for (int r = 0; r < rows; ++r) {
        bool same = bytes.ok && r < loaded.recordsRead;
        for (int c = 0; same && c < columns; ++c) {
            const Cell& cell = table.rows[r][c];
            const Cell& back = loaded.table.rows[r][c];
            same = !cell.isText() || back == cell || back.asText() == cell.asText();
        }
        for (int c = 0; !same && c < columns; ++c) {
            if (auto back = readsBackAs(table.rows[r][c], c, format, r == 0)) {
                differences.push_back({r, c, std::move(*back)});
            }
        }
    }
    return differences;
}

std::string codePointName(const std::string& character) {
    const auto* s = reinterpret_cast<const unsigned char*>(character.data());
    const std::size_t n = character.size();
    unsigned long cp = n > 0 ? s[0] : 0;
    if (n >= 2 && (s[0] & 0xE0) == 0xC0) {
        cp = ((s[0] & 0x1Fu) << 6) | (s[1] & 0x3Fu);
    } else if (n >= 3 && (s[0] & 0xF0) == 0xE0) {
        cp = ((s[0] & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
    } else if (n >= 4 && (s[0] & 0xF8) == 0xF0) {
        cp = ((s[0] & 0x07u) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) |
             (s[3] & 0x3Fu);
    }
    char name[16];
    std::snprintf(name, sizeof name, "U+%04lX", cp);
    return name;
}

std::string unstorableMessage(const std::string& character) {
    if (character == ",") {
        return "カンマ（,）は問題ファイルに保存できません";
    }
    if (character == "\"") {
        return "引用符（\"）は問題ファイルに保存できません";
    }
    if (character == "\n" || character == "\r") {
        return "セルの中の改行は問題ファイルに保存できません";
    }
    if (character.size() == 1 &&
        (static_cast<unsigned char>(character[0]) < 0x20 || character[0] == 0x7F)) {
        return "制御文字（" + codePointName(character) + "）は問題ファイルに保存できません";
    }
    return "「" + character + "」（" + codePointName(character) +
           "）はShift_JIS（CP932）にない文字なので保存できません";
}

}  // namespace studyhop::tool
