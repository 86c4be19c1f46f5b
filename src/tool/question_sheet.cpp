#include "tool/question_sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "data/cp932.h"
#include "data/delimited.h"
#include "data/text_check.h"
#include "data/text_encoding.h"
#include "tool/encoding_detector.h"
#include "tool/read_back.h"

namespace studyhop::tool {

namespace {

constexpr int kSheetColumns = kColumns;  // question, 5 choices, correct, 2 counters, reserved
constexpr int kRequiredColumns = 7;
constexpr int kAbsent = -1;
constexpr std::size_t kQuestionsPerFile = 100;

struct ColumnNames {
    int column;
    std::vector<std::string> names;  // normalised: lower case, no blanks
};

const std::vector<ColumnNames>& columnNames() {
    static const std::vector<ColumnNames> all = {
        {kQuestionText, {"問題", "問題文", "question"}},
        {1, {"回答1", "選択肢1", "choice1", "answer1"}},
        {2, {"回答2", "選択肢2", "choice2", "answer2"}},
        {3, {"回答3", "選択肢3", "choice3", "answer3"}},
        {4, {"回答4", "選択肢4", "choice4", "answer4"}},
        {5, {"回答5", "選択肢5", "choice5", "answer5"}},
        {kCorrectNumber, {"正解番号", "正解", "correctnumber", "correct"}},
        {kTimesAsked, {"出題回数", "timesasked", "asked"}},
        {kTimesCorrect, {"正解回数", "timescorrect"}},
        {kReserved, {"予備", "reserved"}},
    };
    return all;
}

const char* const kColumnTitles[kSheetColumns] = {
    "問題", "回答1", "回答2", "回答3", "回答4", "回答5", "正解番号", "出題回数", "正解回数", "予備",
};

constexpr std::string_view kIdeographicSpace = "\u3000";

// The full-width digits ０ to ９ are EF BC 90 to EF BC 99.
bool fullWidthDigitAt(std::string_view text, std::size_t i) {
    return text.substr(i, 2) == "\xEF\xBC" && i + 2 < text.size() &&
           static_cast<unsigned char>(text[i + 2]) >= 0x90 &&
           static_cast<unsigned char>(text[i + 2]) <= 0x99;
}

// Full-width digits as ASCII digits, as the input method's full-width mode
// types them into a number cell.
std::string asciiDigits(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (fullWidthDigitAt(text, i)) {
            out += static_cast<char>('0' + static_cast<unsigned char>(text[i + 2]) - 0x90);
            i += 3;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// True when `text` holds blanks alone (half-width or ideographic spaces).
bool onlyBlanks(std::string_view text) {
    while (!text.empty()) {
        if (text.front() == ' ') {
            text.remove_prefix(1);
        } else if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        } else {
            return false;
        }
    }
    return true;
}

// What a spreadsheet shows in a cell whose formula failed.
bool isErrorValue(std::string_view text) {
    static const std::string_view kErrors[] = {
        "#N/A",      "#VALUE!",   "#REF!",          "#DIV/0!",  "#NAME?",     "#NUM!",
        "#NULL!",    "#SPILL!",   "#CALC!",         "#FIELD!",  "#BLOCKED!",  "#UNKNOWN!",
        "#CONNECT!", "#BUSY!",    "#GETTING_DATA",  "#N/A!",    "#NV",
    };
    if (std::find(std::begin(kErrors), std::end(kErrors), text) != std::end(kErrors)) {
        return true;
    }
    // LibreOffice writes its own codes as Err:502.
    return text.size() == 7 && text.starts_with("Err:") &&
           std::all_of(text.begin() + 4, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string normalise(std::string_view name) {
    const std::string digits = asciiDigits(name);
    std::string_view rest = digits;
    std::string out;
    while (!rest.empty()) {
        const char c = rest.front();
        if (rest.starts_with(kIdeographicSpace)) {
            rest.remove_prefix(kIdeographicSpace.size());
            continue;
        }
        rest.remove_prefix(1);
        if (c == ' ' || c == '_' || c == '-' || c == '\t') {
            continue;
        }
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

std::optional<int> columnForName(std::string_view name) {
    const std::string key = normalise(name);
    for (const ColumnNames& entry : columnNames()) {
        if (std::find(entry.names.begin(), entry.names.end(), key) != entry.names.end()) {
            return entry.column;
        }
    }
    return std::nullopt;
}

// A number in the plain style of the question files: " 3 ", or "-3 ".
std::string plainSpelling(double value) {
    const std::string digits = formatNumber(value);
    return digits[0] == '-' ? digits + " " : " " + digits + " ";
}

Cell sheetCell(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    if (const auto n = parseNumber(text); n && text == plainSpelling(*n)) {
        return Cell::number(*n);
    }
    return Cell::text(text);
}

std::string sheetText(const Cell& cell) {
    return cell.isNumber() ? plainSpelling(*cell.numericValue()) : cell.asText();
}

bool isNoChoice(const Cell& cell) {
    return cell.isEmpty() || cell.equalsText(kNoChoice);
}

// A counter or correct number: a whole number that is not negative.
std::optional<long long> wholeNumber(const Cell& cell) {
    return studyhop::wholeNumber(cell, 0, 1'000'000'000'000'000LL);
}

std::string htmlEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Where each table column sits in the sheet's rows.
using ColumnMap = std::array<int, kSheetColumns>;

// Line of the first piece of `bytes` that is not UTF-8.
int firstNonUtf8Line(std::string_view bytes) {
    int line = 1;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (!isValidUtf8(bytes.substr(start, end - start))) {
            return line;
        }
        start = end + 1;
        ++line;
    }
    return 1;
}

// Where a cell sits: its text line, its field and its spreadsheet row.
struct Place {
    int line = 0;
    int field = 0;
    int row = 0;
};

// How many cells of `record` name a column, and how many hold other text.
std::pair<int, int> headerNames(const DelimitedRecord& record) {
    int known = 0;
    int other = 0;
    for (const DelimitedCell& cell : record.cells) {
        if (!cell.text.empty()) {
            (columnForName(cell.text) ? known : other) += 1;
        }
    }
    return {known, other};
}

bool isHeader(const DelimitedRecord& record) {
    const auto [known, other] = headerNames(record);
    return known >= 2 && known > other;
}

// A row above the header: a title of one or two cells.
constexpr int kTitleCells = 2;
constexpr int kTitleRows = 2;

class SheetReader {
public:
    SheetReader(FileFormat target, SheetImport& result, const std::vector<SheetFault>& cellFaults)
        : m_target(target), m_result(result) {
        for (const SheetFault& fault : cellFaults) {
            m_cellFaults.emplace(std::pair{fault.line, fault.column}, fault.message);
        }
    }

    void read(const DelimitedText& sheet) {
        const std::size_t header = headerIndex(sheet);
        bool first = true;
        for (std::size_t i = 0; i < sheet.records.size(); ++i) {
            const DelimitedRecord& record = sheet.records[i];
            m_row = static_cast<int>(i) + 1;
            if (isBlankRecord(record)) {
                continue;
            }
            if (header != std::string::npos && i < header) {
                const auto title = std::find_if(record.cells.begin(), record.cells.end(),
                                                [](const DelimitedCell& c) { return !c.text.empty(); });
                note(record.line, 0, "「" + title->text +
                                         "」の行は見出しの上の表題として読み飛ばしました");
                continue;
            }
            if (i == header) {
                readHeader(record);
                first = false;
                continue;
            }
            if (first && isCountLine(record)) {
                first = false;
                continue;
            }
            first = false;
            if (!m_headerBroken) {
                readRow(record);
            }
        }
        // A cell that could not be read stops the import unless the import
        // leaves it out: above the header or in a column the header does not
        // name. Without a header every column counts (those past the last are
        // faults themselves).
        const int firstRow = header == std::string::npos ? 1 : static_cast<int>(header) + 2;
        for (const auto& [place, message] : m_cellFaults) {
            const auto [row, field] = place;
            if (!m_headerBroken && row >= firstRow && (!m_named || readsField(field - 1))) {
                m_result.faults.push_back({row, field, message, row});
            }
        }
        // A file holds at most kQuestionsPerFile rows; each file's first
        // record may be written in another style.
        for (std::size_t first = 0; first < m_result.rows.size(); first += kQuestionsPerFile) {
            checkTexts(first, std::min(kQuestionsPerFile, m_result.rows.size() - first));
        }
    }

private:
    // The record that names the columns: the first one with data, or one of
    // the few below it when those hold a title only; npos when none does.
    static std::size_t headerIndex(const DelimitedText& sheet) {
        int seen = 0;
        for (std::size_t i = 0; i < sheet.records.size() && seen <= kTitleRows; ++i) {
            const DelimitedRecord& record = sheet.records[i];
            if (isBlankRecord(record)) {
                continue;
            }
            if (isHeader(record)) {
                return i;
            }
            const auto [known, other] = headerNames(record);
            if (known + other > kTitleCells || (seen == 0 && isCountLine(record))) {
                break;
            }
            ++seen;
        }
        return std::string::npos;
    }

    // The count line of a question file saved as UTF-8: one whole number
    // alone. The rows that follow are the file's records.
    static bool isCountLine(const DelimitedRecord& record) {
        for (std::size_t i = 1; i < record.cells.size(); ++i) {
            if (!record.cells[i].text.empty()) {
                return false;
            }
        }
        const auto count = parseNumber(record.cells[0].text);
        return count && *count >= 0 && *count == std::floor(*count);
    }

    static bool isBlankRecord(const DelimitedRecord& record) {
        return std::all_of(record.cells.begin(), record.cells.end(),
                           [](const DelimitedCell& cell) { return cell.text.empty(); });
    }

    void fault(int line, int column, std::string message) {
        // A cell whose value could not be read has a fault of its own.
        if (!m_cellFaults.contains({m_row, column})) {
            m_result.faults.push_back({line, column, std::move(message), m_row});
        }
    }

    // Whether the 0-based field is read into the question file.
    bool readsField(int field) const {
        return std::find(m_map.begin(), m_map.end(), field) != m_map.end();
    }

    void note(int line, int column, std::string message) {
        m_result.notes.push_back({line, column, std::move(message), m_row});
    }

    // The map follows the names; columns with other names are left out.
    void readHeader(const DelimitedRecord& record) {
        ColumnMap map;
        map.fill(kAbsent);
        for (std::size_t i = 0; i < record.cells.size(); ++i) {
            const std::string& text = record.cells[i].text;
            const int field = static_cast<int>(i) + 1;
            if (text.empty()) {
                continue;
            }
            const auto column = columnForName(text);
            if (!column) {
                m_ignored.push_back(static_cast<int>(i));
                note(record.line, field,
                     "見出し「" + text + "」の" + columnLetters(field) +
                         "列は問題ファイルの項目ではないので読み込みません");
                continue;
            }
            if (map[*column] != kAbsent) {
                fault(record.line, field,
                      "見出し「" + text + "」が2回あります（" + columnLetters(map[*column] + 1) +
                          "列と" + columnLetters(field) + "列）。どちらかの見出しを直してください");
                m_headerBroken = true;
                continue;
            }
            map[*column] = static_cast<int>(i);
        }
        for (int needed : {static_cast<int>(kQuestionText), static_cast<int>(kCorrectNumber)}) {
            if (map[needed] == kAbsent) {
                fault(record.line, 0,
                      std::string("見出しに「") + kColumnTitles[needed] + "」の列がありません");
                m_headerBroken = true;
            }
        }
        m_map = map;
        m_named = true;
    }

    const DelimitedCell* cellAt(const DelimitedRecord& record, int column) const {
        const int i = m_map[column];
        return i >= 0 && i < static_cast<int>(record.cells.size()) ? &record.cells[i] : nullptr;
    }

    void readRow(const DelimitedRecord& record) {
        const auto where = [&](int column) {
            const DelimitedCell* cell = cellAt(record, column);
            return Place{cell ? cell->line : record.line, m_map[column] + 1, m_row};
        };
        const auto rowFault = [&](int column, std::string message) {
            const Place place = where(column);
            fault(place.line, place.field, std::move(message));
        };
        if (!m_named && static_cast<int>(record.cells.size()) < kRequiredColumns) {
            fault(record.line, static_cast<int>(record.cells.size()) + 1,
                  "列が足りません（問題・回答1〜5・正解番号の7列が必要です）");
            return;
        }
        for (std::size_t i = 0; i < record.cells.size(); ++i) {
            const int field = static_cast<int>(i);
            if (readsField(field) || record.cells[i].text.empty() ||
                std::find(m_ignored.begin(), m_ignored.end(), field) != m_ignored.end()) {
                continue;
            }
            if (!m_named) {
                fault(record.cells[i].line, field + 1, "どの項目でもない列です");
            } else {
                // Under a header a column without a name is left out, as one
                // with another name is: a teacher's notes beside the table.
                note(record.cells[i].line, field + 1,
                     columnLetters(field + 1) +
                         "列には見出しがないので読み込みません（値のある最初のセル: " +
                         columnLetters(field + 1) + std::to_string(m_row) + "）");
                m_ignored.push_back(field);
            }
        }
        bool errorValue = false;
        for (int c = 0; c < kSheetColumns; ++c) {
            if (const DelimitedCell* cell = cellAt(record, c); cell && isErrorValue(cell->text)) {
                rowFault(c, "セル" + columnLetters(m_map[c] + 1) + std::to_string(m_row) + "は「" +
                                cell->text +
                                "」という表計算ソフトのエラー値です。式を直すか値を入れ直して"
                                "ください");
                errorValue = true;
            }
        }
        if (errorValue) {
            return;
        }

        QuestionRow row{};
        const auto text = [&](int column) {
            const DelimitedCell* cell = cellAt(record, column);
            return cell ? cell->text : std::string();
        };
        row[kQuestionText] = sheetCell(text(kQuestionText));
        if (row[kQuestionText].asText().empty()) {
            rowFault(kQuestionText, "問題文が空です");
        }
        bool anyChoice = false;
        for (int k = 1; k <= 5; ++k) {
            const std::string choice = text(k);
            row[k] = onlyBlanks(choice) ? Cell::text(kNoChoice) : sheetCell(choice);
            anyChoice = anyChoice || !isNoChoice(row[k]);
        }
        if (!anyChoice) {
            rowFault(m_map[1] != kAbsent ? 1 : kQuestionText, "回答が1つもありません");
        }
        readCorrectNumber(row, text(kCorrectNumber), rowFault);
        readCounters(record, row, rowFault);
        for (const DelimitedCell& cell : record.cells) {
            m_fieldBreakerSeen = m_fieldBreakerSeen || findFieldBreaker(cell.text);
        }
        std::array<Place, kSheetColumns> places;
        for (int c = 0; c < kSheetColumns; ++c) {
            places[c] = where(c);
        }
        m_result.rows.push_back(row);
        m_result.lines.push_back(record.line);
        m_result.sheetRows.push_back(m_row);
        m_places.push_back(places);
    }

    void cellFault(std::size_t row, int column, std::string message) {
        const Place& place = m_places[row][column];
        m_result.faults.push_back({place.line, place.field, std::move(message), place.row});
    }

    template <class Fault>
    void readCorrectNumber(QuestionRow& row, const std::string& text, const Fault& rowFault) {
        row[kCorrectNumber] = sheetCell(asciiDigits(text));
        const auto number = wholeNumber(row[kCorrectNumber]);
        if (!number || *number < 1 || *number > 5) {
            rowFault(kCorrectNumber, "正解番号「" + text + "」が1〜5の整数ではありません");
        } else if (isNoChoice(row[*number])) {
            rowFault(kCorrectNumber, "正解番号 " + std::to_string(*number) + " の回答" +
                                         std::to_string(*number) + "が空です");
        }
    }

    template <class Fault>
    void readCounters(const DelimitedRecord& record, QuestionRow& row, const Fault& rowFault) {
        const auto given = [&](int column) { return cellAt(record, column) != nullptr; };
        if (m_target == FileFormat::Legacy) {
            for (int c : {static_cast<int>(kTimesAsked), static_cast<int>(kTimesCorrect),
                          static_cast<int>(kReserved)}) {
                if (given(c) && !cellAt(record, c)->text.empty()) {
                    rowFault(c, std::string("旧形式（.qzb）の問題ファイルには") + kColumnTitles[c] +
                                    "を保存できません");
                }
            }
            return;
        }
        for (int c : {static_cast<int>(kTimesAsked), static_cast<int>(kTimesCorrect)}) {
            // An empty cell (a trailing column left empty) is a counter not yet counted.
            const std::string counted = given(c) ? asciiDigits(cellAt(record, c)->text) : "";
            row[c] = counted.empty() ? Cell::text("0") : sheetCell(counted);
            if (!row[c].isEmpty() && !wholeNumber(row[c])) {
                rowFault(c, std::string(kColumnTitles[c]) + "「" + row[c].asText() +
                                "」が0以上の整数ではありません");
            }
        }
        const auto asked = wholeNumber(row[kTimesAsked]);
        const auto correct = wholeNumber(row[kTimesCorrect]);
        if (asked && correct && *correct > *asked) {
            rowFault(kTimesCorrect, "正解回数 " + std::to_string(*correct) + " が出題回数 " +
                                        std::to_string(*asked) + " を超えています");
        }
        row[kReserved] = given(kReserved) && !cellAt(record, kReserved)->text.empty()
                             ? sheetCell(cellAt(record, kReserved)->text)
                             : Cell::text(kNoChoice);
    }

    // Texts the file cannot hold, and texts that would read back otherwise:
    // all of a file's texts at once, and cell by cell only when something is
    // found.
    void checkTexts(std::size_t first, std::size_t count) {
        const int columns = m_target == FileFormat::Current ? kColumns : kRequiredColumns;
        QuestionTable table;
        bool cellByCell = m_fieldBreakerSeen;
        const auto prepare = [&](bool cellByCell) {
            for (std::size_t r = first; r < first + count; ++r) {
                QuestionRow& row = table.rows[r - first];
                row = m_result.rows[r];
                for (int c = 0; cellByCell && c < columns; ++c) {
                    if (!row[c].isText()) {
                        continue;
                    }
                    if (const auto bad = findUnstorable({row[c].asText()})) {
                        cellFault(r, c, unstorableMessage(bad->character));
                        row[c] = Cell::text("x");  // so that it does not upset the round trip
                    }
                }
            }
        };
        prepare(cellByCell);
        std::string bytes;
        auto differences =
            readBackDifferences(table, static_cast<int>(count), columns, m_target, &bytes);
        if (bytes.empty() && !cellByCell) {
            // A character CP932 lacks: find it.
            prepare(cellByCell = true);
            differences =
                readBackDifferences(table, static_cast<int>(count), columns, m_target, &bytes);
        }
        for (const ReadBackDifference& d : differences) {
            const std::size_t r = first + d.row;
            cellFault(r, d.column,
                      "「" + m_result.rows[r][d.column].asText() +
                          "」は問題ファイルに保存すると「" + d.readBack +
                          "」と読み戻されます（前後の空白や0で始まる数字は保存できません）");
        }
        m_result.fileBytes.push_back(std::move(bytes));
    }

    FileFormat m_target;
    SheetImport& m_result;
    ColumnMap m_map = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<std::array<Place, kSheetColumns>> m_places;  // of each row's cells
    std::vector<int> m_ignored;  // fields under a header that names no column
    // The cells a workbook could not give, by row and 1-based field.
    std::map<std::pair<int, int>, std::string> m_cellFaults;
    int m_row = 0;               // the spreadsheet row being read
    bool m_named = false;
    bool m_headerBroken = false;  // its faults would make every row's faults wrong
    // Some cell holds a character that would split or end a field: the texts
    // are then checked cell by cell.
    bool m_fieldBreakerSeen = false;
};

}  // namespace

std::vector<std::string> sheetHeader(FileFormat source, bool withReserved) {
    const int columns = source == FileFormat::Legacy ? kRequiredColumns
                        : withReserved               ? kSheetColumns
                                                     : kSheetColumns - 1;
    return {kColumnTitles, kColumnTitles + columns};
}

std::vector<std::vector<std::string>> sheetCells(const QuestionTable& table, int rows,
                                                 FileFormat source) {
    rows = std::clamp(rows, 0, kRows);
    bool withReserved = false;
    if (source == FileFormat::Current) {
        for (int r = 0; r < rows; ++r) {
            const Cell& reserved = table.rows[r][kReserved];
            withReserved = withReserved || !(reserved.isText() && reserved.equalsText(kNoChoice));
        }
    }
    std::vector<std::vector<std::string>> cells = {sheetHeader(source, withReserved)};
    for (int r = 0; r < rows; ++r) {
        std::vector<std::string> fields;
        for (std::size_t c = 0; c < cells[0].size(); ++c) {
            const Cell& cell = table.rows[r][c];
            const bool noChoice = c >= 1 && c <= 5 && cell.isText() && cell.equalsText(kNoChoice);
            fields.push_back(noChoice ? std::string() : sheetText(cell));
        }
        cells.push_back(std::move(fields));
    }
    return cells;
}

std::string exportSheet(const QuestionTable& table, int rows, FileFormat source, char separator) {
    std::string out(kUtf8Bom);
    for (const std::vector<std::string>& fields : sheetCells(table, rows, source)) {
        out += delimitedRecord(fields, separator);
    }
    return out;
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits, then one of `separators` and digits, up to `groups` groups.
bool digitGroups(std::string_view text, std::string_view separators, int groups) {
    int found = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        if (i == start || i - start > 4) {
            return false;
        }
        ++found;
        if (i == text.size()) {
            break;
        }
        if (separators.find(text[i]) == std::string_view::npos || ++i == text.size()) {
            return false;
        }
    }
    return found >= 2 && found <= groups;
}

bool spreadsheetChanges(std::string_view original) {
    if (original.empty()) {
        return false;
    }
    // The input method's full-width digits and signs are read as numbers too.
    std::string text = asciiDigits(original);
    for (const auto& [wide, narrow] : {std::pair{"，", ","}, {"．", "."}, {"＋", "+"},
                                       {"－", "-"}, {"：", ":"}, {"／", "/"}}) {
        for (std::size_t at; (at = text.find(wide)) != std::string::npos;) {
            text.replace(at, std::string_view(wide).size(), narrow);
        }
    }
    if (text[0] == '=') {
        return true;  // a formula
    }
    std::string plain;
    for (char c : text) {
        if (c != ',') {
            plain += c;  // 1,000 is a number with a thousands separator
        }
    }
    if (const auto n = parseNumber(plain); n && plain.find_first_of(" \t") == std::string::npos) {
        return formatNumber(*n) != original;
    }
    if (const std::size_t e = text.find_first_of("eE");
        e != std::string::npos && e > 0 && parseNumber(text.substr(0, e)) &&
        text.find_first_not_of("0123456789", e + 1 + (text[e + 1] == '+' || text[e + 1] == '-')) ==
            std::string::npos &&
        e + 1 < text.size() && isDigit(text.back())) {
        return true;  // 1e3 is 1000
    }
    if (text.size() > 2 && text.front() == '(' && text.back() == ')' &&
        parseNumber(text.substr(1, text.size() - 2))) {
        return true;  // (1) is -1
    }
    return digitGroups(text, "/-", 3) || digitGroups(text, ":", 3);
}

}  // namespace

std::vector<std::string> cellsSpreadsheetsChange(
    const std::vector<std::vector<std::string>>& cells) {
    std::vector<std::string> changed;
    for (std::size_t r = 1; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size() && c < 6; ++c) {
            if (spreadsheetChanges(cells[r][c])) {
                changed.push_back(columnLetters(static_cast<int>(c) + 1) + std::to_string(r + 1) +
                                  "「" + cells[r][c] + "」");
            }
        }
    }
    return changed;
}

namespace {

// A card's two sides in HTML: the question and its numbered choices; the
// correct choice with its number. A tab becomes a blank, since both readers
// split lines on tabs.
std::pair<std::string, std::string> cardSides(const QuestionRow& row) {
    const auto html = [](const Cell& cell) {
        std::string text = htmlEscaped(cell.asText());
        std::replace(text.begin(), text.end(), '\t', ' ');
        return text;
    };
    std::string front = html(row[kQuestionText]);
    for (int k = 1; k <= 5; ++k) {
        if (!isNoChoice(row[k]) && !row[k].asText().empty()) {
            front += "<br>" + std::to_string(k) + ". " + html(row[k]);
        }
    }
    std::string back = html(row[kCorrectNumber]);
    const auto correct = wholeNumber(row[kCorrectNumber]);
    if (correct && *correct >= 1 && *correct <= 5) {
        back = std::to_string(*correct) + ". " + html(row[*correct]);
    }
    return {front, back};
}

}  // namespace

std::string exportCards(const QuestionTable& table, int rows, const std::string& tag) {
    std::string cleanTag;
    for (char c : tag) {
        cleanTag += (c == ' ' || c == '\t') ? '_' : c;
    }
    std::string out = "#separator:tab\r\n#html:true\r\n#tags column:3\r\n";
    for (int r = 0; r < std::clamp(rows, 0, kRows); ++r) {
        const auto [front, back] = cardSides(table.rows[r]);
        out += delimitedRecord({front, back, cleanTag}, '\t');
    }
    return out;
}

std::string exportMnemosyneCards(const QuestionTable& table, int rows) {
    std::string out;
    for (int r = 0; r < std::clamp(rows, 0, kRows); ++r) {
        const auto [front, back] = cardSides(table.rows[r]);
        // The reader takes no quotes and no header; it drops blanks at the end of the line.
        out += front + "\t" + back + "\n";
    }
    return out;
}

std::string columnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters;
}

SheetImport importRecords(const DelimitedText& sheet, FileFormat target,
                          const std::vector<SheetFault>& cellFaults) {
    SheetImport result;
    SheetReader(target, result, cellFaults).read(sheet);
    if (!sheet.ok) {
        // The fault is in the record after the last one read.
        result.faults.push_back({sheet.errorLine, sheet.errorColumn, sheet.error,
                                 static_cast<int>(sheet.records.size()) + 1});
    }
    return result;
}

namespace {

// Bytes that read both as CP932 and as EUC-JP and that nothing told apart
// were taken as CP932: the first text outside ASCII is shown as read (the
// program's own ﾅｼ aside), so that EUC-JP read as half-width katakana is
// seen before the file is used.
void noteEucJpReading(SheetImport& result) {
    for (std::size_t r = 0; r < result.rows.size(); ++r) {
        for (const Cell& cell : result.rows[r]) {
            const std::string text = cell.isText() ? cell.asText() : std::string();
            const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
            if (cell.equalsText(kNoChoice) || std::all_of(text.begin(), text.end(), ascii)) {
                continue;
            }
            result.notes.push_back(
                {result.lines[r], 0,
                 "Shift_JIS（CP932）の半角カタカナとして読みました（「" + text +
                     "」）。EUC-JPとしても読めるバイトです。文字化けしているならEUC-JPの"
                     "ファイルなので、UTF-8で保存し直してから読み込んでください",
                 result.sheetRows[r]});
            return;
        }
    }
}

}  // namespace

SheetImport importSheet(std::string_view bytes, char separator, FileFormat target) {
    SheetImport result;
    const auto refuse = [&](int line, std::string message) {
        result.faults.push_back({line, 0, std::move(message)});
        return result;
    };
    const auto saveAgain = [](const std::string& encoding, const std::string& iconvName) {
        return encoding +
               "で保存されています。UTF-8かShift_JIS（CP932）で保存し直してください（表計算"
               "ソフトでは「名前を付けて保存」の文字コード、端末では iconv -f " +
               iconvName + " -t UTF-8 元.csv > 新.csv）";
    };
    std::string_view text = bytes;
    Conversion decoded;
    const Detection detected = detectEncoding(bytes);
    switch (detected.encoding) {
        case TextEncoding::Utf16:
            // Excel's "Unicode text".
            return refuse(1,
                          "UTF-16で保存されています。CSV UTF-8（コンマ区切り）などUTF-8で"
                          "保存し直してください");
        case TextEncoding::EucJp:
            return refuse(1, saveAgain("EUC-JP", "EUC-JP"));
        case TextEncoding::Iso2022Jp:
            return refuse(1, saveAgain("ISO-2022-JP（JIS）", "ISO-2022-JP"));
        case TextEncoding::Unknown:
            return refuse(firstNonUtf8Line(bytes),
                          "UTF-8としてもShift_JIS（CP932）としても読めないバイトがあります");
        case TextEncoding::Utf8:
            if (bytes.starts_with(kUtf8Bom) && !isValidUtf8(bytes.substr(kUtf8Bom.size()))) {
                return refuse(firstNonUtf8Line(bytes), "BOMがあるのにUTF-8ではありません");
            }
            break;
        case TextEncoding::Cp932:
            decoded = decodeCp932(bytes);
            text = decoded.text;
            break;
    }
    const DelimitedText sheet = readDelimited(text, separator);
    result = importRecords(sheet, target);
    if (detected.eucJpToo) {
        noteEucJpReading(result);
    }
    return result;
}

char guessSeparator(std::string_view name, std::string_view bytes) {
    const auto endsWith = [&](std::string_view ext) {
        return name.size() >= ext.size() && normalise(name.substr(name.size() - ext.size())) == ext;
    };
    if (endsWith(".tsv") || endsWith(".tab") || endsWith(".txt")) {
        return '\t';
    }
    // The first lines, so that a title line alone above the table does not decide.
    std::size_t end = 0;
    for (int line = 0; line < kTitleRows + 2 && end != std::string_view::npos; ++line) {
        const std::size_t next = bytes.find('\n', end);
        end = next == std::string_view::npos ? next : next + 1;
    }
    const std::string_view head = bytes.substr(0, end);
    return std::count(head.begin(), head.end(), '\t') > std::count(head.begin(), head.end(), ',')
               ? '\t'
               : ',';
}

}  // namespace studyhop::tool
