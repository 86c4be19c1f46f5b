#include "fuzz_targets.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/cp932.h"
#include "data/delimited.h"
#include "data/field_reader.h"
#include "data/question_file.h"
#include "data/settings_file.h"
#include "data/text_check.h"
#include "data/text_encoding.h"
#include "tool/question_sheet.h"
#include "tool/workbook.h"

namespace studyhop::fuzz {

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

std::string_view view(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Cells compare by what they say: a number and a text that spells the same
// number are one value, as the file formats make them.
std::string canonical(const Cell& cell) {
    const std::string text = cell.asText();
    if (const auto n = parseNumber(text)) {
        return formatNumber(*n);
    }
    return text;
}

// Question and choice texts are written so that they read back exactly.
constexpr int kTextColumns = 6;

// A text cell survives a save and a load when the file can hold all of it.
// The number columns are written bare, so a text there that begins with a
// blank loses it.
bool storable(const QuestionRow& row, int columns) {
    for (int c = 0; c < columns; ++c) {
        const std::string text = row[c].asText();
        if (!row[c].isText()) {
            continue;
        }
        if (c >= kTextColumns && !text.empty() && (text[0] == ' ' || text[0] == '\t')) {
            return false;
        }
        if (findUnstorable({text})) {
            return false;
        }
    }
    return true;
}

void checkRoundTrip(const LoadResult& first, FileFormat format, int rows) {
    const int columns = format == FileFormat::Current ? 10 : 7;
    for (int r = 0; r < rows; ++r) {
        if (!storable(first.table.rows[r], columns)) {
            return;
        }
    }
    const std::string text = questionFileText(format, first.table, rows);
    const Conversion bytes = encodeCp932(text);
    if (!bytes.ok) {
        fail("a loaded table cannot be encoded again");
    }
    if (looksLikeUtf8Text(bytes.text)) {
        // The bytes that made the file CP932 were in what the save leaves
        // out or rewrites (a number): the writers refuse such a save with a
        // message rather than write a file the readers would take for UTF-8.
        return;
    }
    const LoadResult second = format == FileFormat::Current
                                  ? parseCurrentQuestionFile("again", bytes.text)
                                  : parseLegacyQuestionFile("again", bytes.text);
    if (!second.status.ok()) {
        fail("a saved table does not load again");
    }
    if (second.recordsRead != rows) {
        fail("a saved table loads with another number of records");
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const Cell& before = first.table.rows[r][c];
            const Cell& after = second.table.rows[r][c];
            if (c < kTextColumns && before.isText() && after.asText() != before.asText()) {
                fail("a saved question or choice text loads as another text");
            }
            if (canonical(before) != canonical(after)) {
                fail("a saved table loads with other cells");
            }
        }
    }
}

void fieldReader(const std::uint8_t* data, std::size_t size) {
    FieldReader reader(view(data, size));
    std::size_t fields = 0;
    int line = reader.line();
    while (!reader.atEndOfRecords()) {
        Cell cell;
        while (reader.readField(cell)) {
            if (++fields > size + 1) {
                fail("more fields than bytes: the reader does not advance");
            }
            if (reader.line() < line) {
                fail("the line number went back");
            }
            line = reader.line();
        }
        break;
    }
}

void currentLoader(const std::uint8_t* data, std::size_t size) {
    const LoadResult loaded = parseCurrentQuestionFile("fuzz.qz2", view(data, size));
    if (!loaded.status.ok()) {
        if (loaded.status.message().empty()) {
            fail("an error without a message");
        }
        return;
    }
    if (loaded.count < 0 || loaded.count > kRows || loaded.recordsRead > kRows) {
        fail("a count outside the table");
    }
    // The windows save every complete record read, whatever the count line says.
    checkRoundTrip(loaded, FileFormat::Current, loaded.recordsRead);
}

void legacyLoader(const std::uint8_t* data, std::size_t size) {
    const LoadResult limited = parseLegacyQuestionFile("fuzz.qzb", view(data, size), 100);
    if (limited.status.ok() && limited.count > 100) {
        fail("the editor's limit was passed");
    }
    const LoadResult loaded = parseLegacyQuestionFile("fuzz.qzb", view(data, size));
    if (!loaded.status.ok()) {
        return;
    }
    if (loaded.count != loaded.recordsRead || loaded.count > kRows) {
        fail("a legacy count that is not the records read");
    }
    checkRoundTrip(loaded, FileFormat::Legacy, loaded.count);
}

void settingsReader(const std::uint8_t* data, std::size_t size) {
    SettingsRead settings;
    if (!parseSettings(view(data, size), settings)) {
        return;
    }
    const std::string& rate = settings.rateFilter;
    const std::string& order = settings.order;
    if (rate.size() != 1 || rate[0] < '0' || rate[0] > '9' || (order != "0" && order != "1")) {
        fail("settings outside their ranges were accepted");
    }
}

// A text that passes the check, saved as a choice, reads back as written
// (after its own CP932 round trip: the Unicode twins of CP932 characters come
// back as the characters Windows reads).
void textCheck(const std::uint8_t* data, std::size_t size) {
    const std::string text(view(data, size));
    if (findUnstorable({text}) || text.size() > kMaxFieldBytes) {
        return;
    }
    QuestionTable table;
    table.rows[0][kChoice1] = Cell::text(text);
    const Conversion bytes = encodeCp932(questionFileText(FileFormat::Current, table, 1));
    const Conversion alone = encodeCp932(text);
    if (!bytes.ok || !alone.ok) {
        fail("a text passed the check but cannot be encoded");
    }
    if (looksLikeUtf8Text(bytes.text)) {
        return;  // the writers refuse a file the readers would take for UTF-8
    }
    const Conversion expected = decodeCp932(alone.text);
    const LoadResult again = parseCurrentQuestionFile("again", bytes.text);
    if (!expected.ok || !again.status.ok() || again.recordsRead != 1 ||
        again.table.rows[0][kChoice1].asText() != expected.text) {
        fail("a text passed the check but does not read back as written");
    }
}

std::vector<std::vector<std::string>> cellsOf(const DelimitedText& text) {
    std::vector<std::vector<std::string>> rows;
    for (const DelimitedRecord& record : text.records) {
        rows.emplace_back();
        for (const DelimitedCell& cell : record.cells) {
            rows.back().push_back(cell.text);
        }
    }
    return rows;
}

// The spreadsheet reader: what it reads, written again, reads back as the
// same cells; and a sheet that imports cleanly exports and imports again to
// the same question rows.
void delimited(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = view(data, size);
    for (const char separator : {',', '\t'}) {
        const DelimitedText first = readDelimited(bytes, separator);
        if (!first.ok) {
            if (first.errorLine < 1 || first.errorColumn < 1 || first.error.empty()) {
                fail("a quoting fault without its place");
            }
            continue;
        }
        std::string again(kUtf8Bom);
        for (const DelimitedRecord& record : first.records) {
            std::vector<std::string> fields;
            for (const DelimitedCell& cell : record.cells) {
                fields.push_back(cell.text);
            }
            again += delimitedRecord(fields, separator);
        }
        const DelimitedText second = readDelimited(again, separator);
        if (!second.ok || cellsOf(second) != cellsOf(first)) {
            fail("written cells do not read back as the same cells");
        }
    }
    const tool::SheetImport sheet = tool::importSheet(bytes, ',', FileFormat::Current);
    const int rows = static_cast<int>(sheet.rows.size());
    if (!sheet.faults.empty() || rows > kRows) {
        return;
    }
    QuestionTable table;
    std::copy(sheet.rows.begin(), sheet.rows.end(), table.rows.begin());
    const std::string exported = tool::exportSheet(table, rows, FileFormat::Current, ',');
    const tool::SheetImport back = tool::importSheet(exported, ',', FileFormat::Current);
    if (!back.faults.empty() || back.rows != sheet.rows) {
        fail("an imported sheet does not export and import to the same rows");
    }
}

// The workbook reader: bounded by its limits, every fault has its place and
// words, every row is the record of its number, and what it read goes
// through the sheet reader.
void workbook(const std::uint8_t* data, std::size_t size) {
    tool::WorkbookLimits limits;
    limits.partBytes = 1 << 20;
    limits.totalBytes = 2 << 20;
    limits.rows = 2000;
    limits.columns = 64;
    const tool::WorkbookRead read = tool::readWorkbook(view(data, size), limits);
    for (const tool::SheetFault& fault : read.faults) {
        if (fault.line < 1 || fault.column < 0 || fault.message.empty()) {
            fail("a workbook fault without its place");
        }
    }
    for (const tool::SheetFault& fault : read.cellFaults) {
        if (fault.line < 1 || fault.line > limits.rows || fault.column < 1 ||
            fault.column > limits.columns || fault.message.empty()) {
            fail("a cell fault outside the sheet");
        }
    }
    if (read.cellFaults.size() > limits.cells) {
        fail("more cell faults than the limit of cells");
    }
    if (static_cast<int>(read.sheet.records.size()) > limits.rows) {
        fail("more rows than the limit");
    }
    for (std::size_t r = 0; r < read.sheet.records.size(); ++r) {
        const DelimitedRecord& record = read.sheet.records[r];
        if (record.line != static_cast<int>(r) + 1 ||
            static_cast<int>(record.cells.size()) > limits.columns) {
            fail("a workbook row out of its place");
        }
    }
    if (read.faults.empty()) {
        const tool::SheetImport sheet =
            tool::importRecords(read.sheet, FileFormat::Current, read.cellFaults);
        for (const tool::SheetFault& fault : sheet.faults) {
            if (fault.line < 1 || fault.message.empty()) {
                fail("an import fault without its place");
            }
        }
    }
}

}  // namespace

const std::vector<Target>& targets() {
    static const std::vector<Target> all = {
        {"field_reader", fieldReader},   {"current_loader", currentLoader},
        {"legacy_loader", legacyLoader}, {"settings_reader", settingsReader},
        {"text_check", textCheck},       {"delimited", delimited},
        {"workbook", workbook},
    };
    return all;
}

const Target* findTarget(std::string_view name) {
    for (const Target& t : targets()) {
        if (name == t.name) {
            return &t;
        }
    }
    return nullptr;
}

}  // namespace studyhop::fuzz
