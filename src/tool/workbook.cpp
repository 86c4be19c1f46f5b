#include "tool/workbook.h"

#include <expat.h>
#include <unistd.h>
#include <unzip.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace studyhop::tool {

namespace {

// ---- the archive, read from memory ----

struct Memory {
    std::string_view bytes;
    std::size_t pos = 0;
};

voidpf openMemory(voidpf opaque, const void*, int) {
    return opaque;
}

uLong readMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* memory = static_cast<Memory*>(stream);
    const std::size_t n = std::min<std::size_t>(size, memory->bytes.size() - memory->pos);
    std::memcpy(buffer, memory->bytes.data() + memory->pos, n);
    memory->pos += n;
    return static_cast<uLong>(n);
}

uLong writeMemory(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T tellMemory(voidpf, voidpf stream) {
    return static_cast<Memory*>(stream)->pos;
}

long seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* memory = static_cast<Memory*>(stream);
    std::size_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
        base = memory->pos;
    } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
        base = memory->bytes.size();
    }
    if (offset > memory->bytes.size() - base) {
        return -1;
    }
    memory->pos = base + offset;
    return 0;
}

int closeMemory(voidpf, voidpf) {
    return 0;
}

int errorMemory(voidpf, voidpf) {
    return 0;
}

class Archive {
public:
    Archive(std::string_view bytes, const WorkbookLimits& limits) : m_limits(limits) {
        m_memory.bytes = bytes;
        zlib_filefunc64_def functions{};
        functions.zopen64_file = openMemory;
        functions.zread_file = readMemory;
        functions.zwrite_file = writeMemory;
        functions.ztell64_file = tellMemory;
        functions.zseek64_file = seekMemory;
        functions.zclose_file = closeMemory;
        functions.zerror_file = errorMemory;
        functions.opaque = &m_memory;
        m_zip = unzOpen2_64("workbook", &functions);
        unz_global_info64 info{};
        m_ok = m_zip && unzGetGlobalInfo64(m_zip, &info) == UNZ_OK;
        m_tooMany = m_ok && info.number_entry > limits.entries;
    }
    ~Archive() {
        if (m_zip) {
            unzClose(m_zip);
        }
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool ok() const { return m_ok && !m_tooMany; }
    bool tooManyEntries() const { return m_tooMany; }
    bool tooLarge() const { return m_tooLarge; }

    // The inflated part, or nullopt when it is missing, broken or too large.
    std::optional<std::string> part(const std::string& name) {
        if (!ok() || unzLocateFile(m_zip, name.c_str(), 2) != UNZ_OK ||
            unzOpenCurrentFile(m_zip) != UNZ_OK) {
            return std::nullopt;
        }
        std::string out;
        char chunk[65536];
        int n = 0;
        // The sizes in the archive's directory are not trusted: bytes are counted.
        while ((n = unzReadCurrentFile(m_zip, chunk, sizeof chunk)) > 0) {
            out.append(chunk, static_cast<std::size_t>(n));
            if (out.size() > m_limits.partBytes || m_total + out.size() > m_limits.totalBytes) {
                m_tooLarge = true;
                unzCloseCurrentFile(m_zip);
                return std::nullopt;
            }
        }
        // A CRC error shows only at the close, after the whole part was read.
        if (unzCloseCurrentFile(m_zip) != UNZ_OK || n < 0) {
            return std::nullopt;
        }
        m_total += out.size();
        return out;
    }

private:
    const WorkbookLimits& m_limits;
    Memory m_memory;
    unzFile m_zip = nullptr;
    bool m_ok = false;
    bool m_tooMany = false;
    bool m_tooLarge = false;
    std::size_t m_total = 0;
};

// ---- XML ----

using Attributes = const XML_Char**;

std::string_view localName(const XML_Char* name) {
    const std::string_view full(name);
    const std::size_t colon = full.rfind(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

// The value of the attribute whose local name is `name`, or empty.
std::string attribute(Attributes attributes, std::string_view name) {
    for (int i = 0; attributes[i]; i += 2) {
        if (localName(attributes[i]) == name) {
            return attributes[i + 1];
        }
    }
    return {};
}

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, Attributes attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view) {}
};

// False when the XML is not well formed or declares a document type (the
// door to entity expansion).
bool parseXml(std::string_view xml, XmlHandler& handler) {
    struct Parser {
        XML_Parser parser = XML_ParserCreate("UTF-8");
        ~Parser() { XML_ParserFree(parser); }
    } owner;
    XML_Parser parser = owner.parser;
    if (!parser) {
        return false;
    }
    bool doctype = false;
    struct Guard {
        XmlHandler* handler;
        bool* doctype;
    } guard{&handler, &doctype};
    XML_SetUserData(parser, &guard);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            static_cast<Guard*>(data)->handler->start(localName(name), attributes);
        },
        [](void* data, const XML_Char* name) {
            static_cast<Guard*>(data)->handler->end(localName(name));
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        static_cast<Guard*>(data)->handler->text({text, static_cast<std::size_t>(length)});
    });
    XML_SetStartDoctypeDeclHandler(
        parser, [](void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
            *static_cast<Guard*>(data)->doctype = true;
        });
    // Parsed in pieces: XML_Parse takes an int length.
    constexpr std::size_t kPiece = 1 << 20;
    for (std::size_t at = 0;; at += kPiece) {
        const std::string_view piece = xml.substr(std::min(at, xml.size()), kPiece);
        const bool last = at + kPiece >= xml.size();
        if (XML_Parse(parser, piece.data(), static_cast<int>(piece.size()), last) !=
                XML_STATUS_OK ||
            doctype) {
            return false;
        }
        if (last) {
            return true;
        }
    }
}

// The first sheet's relationship id, from xl/workbook.xml.
struct FirstSheet : XmlHandler {
    std::string id;
    void start(std::string_view name, Attributes attributes) override {
        if (name == "sheet" && id.empty()) {
            id = attribute(attributes, "id");
        }
    }
    void end(std::string_view) override {}
};

struct Relationships : XmlHandler {
    std::map<std::string, std::string> targets;
    void start(std::string_view name, Attributes attributes) override {
        if (name == "Relationship") {
            targets[attribute(attributes, "Id")] = attribute(attributes, "Target");
        }
    }
    void end(std::string_view) override {}
};

// The text of an <si> or <is>: its <t> elements, without the phonetic
// readings (<rPh>) a Japanese spreadsheet keeps beside the text.
struct RichText {
    int phonetic = 0;
    bool inText = false;
    std::string value;
    void start(std::string_view name) {
        phonetic += name == "rPh" ? 1 : 0;
        inText = name == "t" && phonetic == 0;
    }
    void end(std::string_view name) {
        phonetic -= name == "rPh" ? 1 : 0;
        inText = false;
    }
    void text(std::string_view text) {
        if (inText) {
            value += text;
        }
    }
};

struct SharedStrings : XmlHandler {
    explicit SharedStrings(std::size_t limit) : limit(limit) {}
    std::size_t limit;
    bool tooMany = false;
    std::vector<std::string> strings;
    RichText current;
    bool inItem = false;
    void start(std::string_view name, Attributes) override {
        if (name == "si") {
            current = {};
            inItem = true;
        } else if (inItem) {
            current.start(name);
        }
    }
    void end(std::string_view name) override {
        if (name == "si") {
            tooMany = tooMany || strings.size() >= limit;
            if (!tooMany) {
                strings.push_back(std::move(current.value));
            }
            inItem = false;
        } else if (inItem) {
            current.end(name);
        }
    }
    void text(std::string_view text) override { current.text(text); }
};

// A number format that shows a date or a time: built in, or a format code
// with date or time letters outside its quoted texts and brackets.
bool isDateFormat(int id, const std::string& code) {
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
        (id >= 50 && id <= 58)) {
        return true;
    }
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the next character is shown as it is
        } else if (c == '[') {
            ++bracket;
            // [h], [mm], [ss]: elapsed time.
            if (i + 1 < code.size() && std::strchr("hHmMsS", code[i + 1])) {
                return true;
            }
        } else if (c == ']') {
            bracket = std::max(0, bracket - 1);
        } else if (bracket == 0 && std::strchr("yYmMdDhHsS", c)) {
            return true;
        }
    }
    return false;
}

struct Styles : XmlHandler {
    std::map<int, std::string> codes;
    std::vector<bool> dates;  // by style index
    bool inCellFormats = false;
    void start(std::string_view name, Attributes attributes) override {
        if (name == "numFmt") {
            codes[std::atoi(attribute(attributes, "numFmtId").c_str())] =
                attribute(attributes, "formatCode");
        } else if (name == "cellXfs") {
            inCellFormats = true;
        } else if (name == "xf" && inCellFormats) {
            const int id = std::atoi(attribute(attributes, "numFmtId").c_str());
            const auto code = codes.find(id);
            dates.push_back(isDateFormat(id, code == codes.end() ? std::string() : code->second));
        }
    }
    void end(std::string_view name) override {
        inCellFormats = inCellFormats && name != "cellXfs";
    }
};

// "B12" -> column 2, row 12; {0, 0} when it is not a cell reference.
std::pair<int, int> cellReference(std::string_view reference) {
    int column = 0;
    std::size_t i = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && column <= 16384;
         ++i) {
        column = column * 26 + (reference[i] - 'A' + 1);
    }
    int row = 0;
    for (; i < reference.size() && reference[i] >= '0' && reference[i] <= '9' && row <= 1 << 21;
         ++i) {
        row = row * 10 + (reference[i] - '0');
    }
    return i == reference.size() && column > 0 && row > 0 ? std::pair{column, row}
                                                           : std::pair{0, 0};
}

// What General format shows for a stored number: up to 15 significant digits.
std::string generalNumber(const std::string& stored) {
    char* end = nullptr;
    const double value = std::strtod(stored.c_str(), &end);
    if (end == stored.c_str() || *end != '\0' || !std::isfinite(value)) {
        return stored;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string shown = buffer;
    return shown == "-0" ? "0" : shown;
}

std::string cellName(long long row, long long column) {
    return columnLetters(static_cast<int>(std::min<long long>(column, 1 << 20))) +
           std::to_string(row);
}

// The cells of the sheet that hold something, taken within the limits.
struct Cells {
    Cells(const WorkbookLimits& l, WorkbookRead& r) : limits(l), result(r) {}
    const WorkbookLimits& limits;
    WorkbookRead& result;
    std::map<int, std::map<int, std::string>> byRow;
    std::size_t count = 0;
    bool tooLarge = false;

    void fault(long long row, long long column, std::string message) {
        result.faults.push_back({static_cast<int>(std::clamp<long long>(row, 1, 1 << 30)),
                                 static_cast<int>(std::clamp<long long>(column, 0, 1 << 30)),
                                 std::move(message)});
    }

    // False once the sheet is too large: nothing more is taken.
    bool put(long long row, long long column, const std::string& shown) {
        if (!take(row, column)) {
            return false;
        }
        byRow[static_cast<int>(row)][static_cast<int>(column)] = shown;
        return true;
    }

    // A cell whose value cannot be taken counts as a cell with something in
    // it: a sheet of dates is bounded as a sheet of numbers is.
    bool putFault(long long row, long long column, std::string message) {
        if (!take(row, column)) {
            return false;
        }
        result.cellFaults.push_back(
            {static_cast<int>(row), static_cast<int>(column), std::move(message)});
        return true;
    }

    bool take(long long row, long long column) {
        if (tooLarge) {
            return false;
        }
        if (row > limits.rows || column > limits.columns) {
            fault(row, column,
                  "セル" + cellName(row, column) + "まで使われていて、問題の表としては大きすぎます");
            tooLarge = true;
        } else if (++count > limits.cells) {
            fault(row, column,
                  "セル" + cellName(row, column) + "までに値のあるセルが" +
                      std::to_string(limits.cells) + "個を超えていて、問題の表としては大きすぎます");
            tooLarge = true;
        }
        return !tooLarge;
    }

    // One record per row from row 1, each as long as its last cell.
    void toRecords() {
        const int lastRow = byRow.empty() ? 0 : byRow.rbegin()->first;
        for (int r = 1; r <= lastRow; ++r) {
            DelimitedRecord record;
            record.line = r;
            const auto found = byRow.find(r);
            const int lastColumn = found == byRow.end() ? 1 : found->second.rbegin()->first;
            record.cells.resize(static_cast<std::size_t>(lastColumn), DelimitedCell{{}, r});
            if (found != byRow.end()) {
                for (auto& [c, text] : found->second) {
                    record.cells[static_cast<std::size_t>(c - 1)].text = std::move(text);
                }
            }
            result.sheet.records.push_back(std::move(record));
        }
    }
};

struct Sheet : XmlHandler {
    const std::vector<std::string>& strings;
    const std::vector<bool>& dates;
    Cells& cells;
    int row = 0;
    int column = 0;
    std::string type;
    int style = 0;
    std::string value;
    bool inValue = false;
    bool inInline = false;
    RichText inlineText;
    bool misplaced = false;

    Sheet(const std::vector<std::string>& s, const std::vector<bool>& d, Cells& c)
        : strings(s), dates(d), cells(c) {}

    void fault(std::string message) { cells.putFault(row, column, std::move(message)); }

    std::string cellName() const { return tool::cellName(row, column); }

    void start(std::string_view name, Attributes attributes) override {
        if (name == "row") {
            const std::string r = attribute(attributes, "r");
            row = r.empty() ? row + 1 : cellReference("A" + r).second;
            column = 0;
        } else if (name == "c") {
            const std::string r = attribute(attributes, "r");
            const auto [c, rr] = cellReference(r);
            column = r.empty() ? column + 1 : c;
            row = r.empty() ? row : rr;
            type = attribute(attributes, "t");
            style = std::atoi(attribute(attributes, "s").c_str());
            value.clear();
            inlineText = {};
        } else if (name == "v") {
            inValue = true;
        } else if (name == "is") {
            inInline = true;
        } else if (inInline) {
            inlineText.start(name);
        }
    }

    void end(std::string_view name) override {
        if (name == "v") {
            inValue = false;
        } else if (name == "is") {
            inInline = false;
        } else if (inInline) {
            inlineText.end(name);
        } else if (name == "c") {
            endCell();
        }
    }

    void text(std::string_view text) override {
        if (inValue) {
            value += text;
        } else if (inInline) {
            inlineText.text(text);
        }
    }

    void endCell() {
        if (row < 1 || column < 1) {
            if (!misplaced) {
                cells.fault(1, 0, "セルの位置が読めません（ブックが壊れています）");
            }
            misplaced = true;
            return;
        }
        std::string shown;
        if (type == "s") {
            const std::size_t index = std::strtoul(value.c_str(), nullptr, 10);
            if (value.empty() || index >= strings.size()) {
                fault("セル" + cellName() + "の文字列が見つかりません（ブックが壊れています）");
                return;
            }
            shown = strings[index];
        } else if (type == "inlineStr") {
            shown = inlineText.value;
        } else if (type == "str" || type == "e") {
            shown = value;  // a formula's text, or an error value ("#N/A")
        } else if (type == "b") {
            shown = value == "1" ? "TRUE" : value.empty() ? "" : "FALSE";
        } else if (type == "d") {
            fault("セル" + cellName() + "は日付（" + value +
                  "）です。文字列として入力し直してください");
            return;
        } else if (!value.empty()) {
            if (style >= 0 && static_cast<std::size_t>(style) < dates.size() && dates[style]) {
                fault("セル" + cellName() +
                      "は日付か時刻の表示形式の数値です。表示形式を「文字列」にして入力し直して"
                      "ください");
                return;
            }
            shown = generalNumber(value);
        }
        if (!shown.empty()) {
            cells.put(row, column, shown);
        }
    }
};

constexpr std::string_view kOdsType = "application/vnd.oasis.opendocument.spreadsheet";

// The first table of an OpenDocument spreadsheet (content.xml). Repeated rows
// and cells (a style run to the sheet's end) are counted, never spelled out
// beyond the limits.
struct OdsSheet : XmlHandler {
    Cells& cells;
    explicit OdsSheet(Cells& c) : cells(c) {}

    int tables = 0;      // tables begun
    int tableDepth = 0;  // inside the first table
    long long row = 0;   // rows before the current one
    long long rowRepeat = 1;
    long long column = 0;  // columns before the current cell
    std::vector<std::pair<long long, std::string>> rowCells;
    std::vector<long long> rowDates;  // the columns of the row's date and time cells
    bool inCell = false;
    long long columnRepeat = 1;
    std::string type;
    std::string value;
    std::string shownText;
    int paragraphs = 0;
    int annotation = 0;  // a comment's paragraphs are not the cell's text

    static long long repeat(Attributes attributes, std::string_view name) {
        const long long n = std::atoll(attribute(attributes, name).c_str());
        return std::clamp<long long>(n, 1, 1 << 20);
    }

    void start(std::string_view name, Attributes attributes) override {
        if (name == "table") {
            tableDepth += tables++ == 0 || tableDepth > 0 ? 1 : 0;
            return;
        }
        if (tableDepth == 0) {
            return;
        }
        if (name == "table-row") {
            rowRepeat = repeat(attributes, "number-rows-repeated");
            column = 0;
            rowCells.clear();
            rowDates.clear();
        } else if (name == "table-cell" || name == "covered-table-cell") {
            inCell = true;
            columnRepeat = repeat(attributes, "number-columns-repeated");
            type = attribute(attributes, "value-type");
            value = type == "boolean" ? attribute(attributes, "boolean-value")
                                      : attribute(attributes, "value");
            shownText.clear();
            paragraphs = 0;
        } else if (!inCell) {
            return;
        } else if (name == "annotation") {
            ++annotation;
        } else if (annotation > 0) {
            return;
        } else if (name == "p") {
            shownText += paragraphs++ > 0 ? "\n" : "";
        } else if (name == "s") {
            shownText.append(static_cast<std::size_t>(std::min(repeat(attributes, "c"), 1000LL)), ' ');
        } else if (name == "tab") {
            shownText += '\t';
        } else if (name == "line-break") {
            shownText += '\n';
        }
    }

    void end(std::string_view name) override {
        if (tableDepth == 0) {
            return;
        }
        if (name == "table") {
            --tableDepth;
        } else if (name == "annotation") {
            --annotation;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            endCell();
            inCell = false;
        } else if (name == "table-row") {
            for (long long r = 1; r <= rowRepeat && !(rowCells.empty() && rowDates.empty()); ++r) {
                bool taken = true;
                for (const auto& [c, shown] : rowCells) {
                    taken = taken && cells.put(row + r, c, shown);
                }
                for (const long long c : rowDates) {
                    taken = taken && cells.putFault(row + r, c,
                                                    "セル" + cellName(row + r, c) +
                                                        "は日付か時刻です。セルの書式を「テキスト」"
                                                        "にして入力し直してください");
                }
                if (!taken) {
                    break;
                }
            }
            row += rowRepeat;
        }
    }

    void text(std::string_view data) override {
        if (inCell && annotation == 0 && paragraphs > 0) {
            shownText += data;
        }
    }

    void endCell() {
        std::string shown;
        if (type == "date" || type == "time") {
            for (long long k = 1; k <= columnRepeat && k <= cells.limits.columns + 1; ++k) {
                rowDates.push_back(column + k);
            }
        } else if (type == "float") {
            shown = generalNumber(value);
        } else if (type == "boolean") {
            shown = value == "true" ? "TRUE" : "FALSE";
        } else {
            shown = shownText;  // a text, a percentage or currency as shown, an error value
        }
        for (long long k = 1; k <= columnRepeat && !shown.empty() && k <= cells.limits.columns + 1;
             ++k) {
            rowCells.emplace_back(column + k, shown);
        }
        column += columnRepeat;
    }
};

std::string partPath(const std::string& target) {
    if (target.starts_with("/")) {
        return target.substr(1);
    }
    return "xl/" + target;
}

}  // namespace

bool isWorkbook(std::string_view name, std::string_view bytes) {
    std::string lower(name.substr(name.size() >= 5 ? name.size() - 5 : 0));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == ".xlsx" || lower.ends_with(".ods") || bytes.starts_with("PK\x03\x04");
}

bool workbooksSupported() {
    return true;
}

WorkbookRead readWorkbook(std::string_view bytes, const WorkbookLimits& limits) {
    WorkbookRead result;
    const auto refuse = [&](std::string message) {
        result.faults.push_back({1, 0, std::move(message)});
        result.sheet.records.clear();
        return result;
    };
    Archive archive(bytes, limits);
    if (archive.tooManyEntries()) {
        return refuse("ブックの中のファイルが多すぎます（" + std::to_string(limits.entries) +
                      "個まで）");
    }
    if (!archive.ok()) {
        return refuse("xlsx（Excelブック）として読めません。表計算ソフトで保存し直してください");
    }
    const auto tooLarge = [&] {
        return refuse("ブックを展開すると大きすぎます（1つの部分が" +
                      std::to_string(limits.partBytes / 1024) + "KBまで）");
    };
    const auto broken = [&](const char* part) {
        return refuse(std::string("ブックの ") + part +
                      " が読めません（壊れているか、xlsx ではありません）");
    };

    if (archive.part("mimetype") == kOdsType) {
        Cells cells(limits, result);
        OdsSheet sheet(cells);
        const auto content = archive.part("content.xml");
        if (!content) {
            return archive.tooLarge() ? tooLarge() : broken("content.xml");
        }
        if (!parseXml(*content, sheet)) {
            return broken("content.xml");
        }
        cells.toRecords();
        return result;
    }
    FirstSheet first;
    const auto workbook = archive.part("xl/workbook.xml");
    if (!workbook || !parseXml(*workbook, first)) {
        return archive.tooLarge() ? tooLarge() : broken("xl/workbook.xml");
    }
    std::string sheetPath = "xl/worksheets/sheet1.xml";
    Relationships relationships;
    if (const auto rels = archive.part("xl/_rels/workbook.xml.rels");
        rels && parseXml(*rels, relationships)) {
        if (const auto found = relationships.targets.find(first.id);
            found != relationships.targets.end()) {
            sheetPath = partPath(found->second);
        }
    }
    SharedStrings strings(limits.strings);
    if (const auto part = archive.part("xl/sharedStrings.xml"); part) {
        if (!parseXml(*part, strings)) {
            return broken("xl/sharedStrings.xml");
        }
        if (strings.tooMany) {
            return refuse("ブックの文字列が多すぎます（" + std::to_string(limits.strings) +
                          "個まで）");
        }
    }
    Styles styles;
    if (const auto part = archive.part("xl/styles.xml"); part) {
        if (!parseXml(*part, styles)) {
            return broken("xl/styles.xml");
        }
    }
    if (archive.tooLarge()) {
        return tooLarge();
    }
    Cells cells(limits, result);
    Sheet sheet(strings.strings, styles.dates, cells);
    const auto part = archive.part(sheetPath);
    if (!part) {
        return archive.tooLarge() ? tooLarge() : broken(sheetPath.c_str());
    }
    if (!parseXml(*part, sheet)) {
        return broken(sheetPath.c_str());
    }
    cells.toRecords();
    return result;
}

namespace {

// Display width of a UTF-8 text in spreadsheet character units: a character
// outside ASCII and half-width katakana takes two.
double displayWidth(std::string_view text) {
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const bool halfKana = length == 3 && text.substr(i, 2) == "\xEF\xBD";
        width += length == 1 || halfKana ? 1.0 : 2.0;
        i += length;
    }
    return width;
}

}  // namespace

std::optional<std::string> workbookBytes(const std::vector<std::vector<std::string>>& cells,
                                         const std::string& sheetName, std::string& error) {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "studyhop-xlsx-XXXXXX");
    if (!mkdtemp(pattern.data())) {
        error = "一時フォルダを作れません";
        return std::nullopt;
    }
    const std::filesystem::path dir = pattern;
    const std::string path = (dir / "book.xlsx").string();
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(pattern.c_str());
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = book ? workbook_add_worksheet(book, sheetName.c_str()) : nullptr;
    if (!sheet && book) {
        sheet = workbook_add_worksheet(book, nullptr);  // a name the spreadsheet refuses
    }
    lxw_error status = book && sheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (status == LXW_NO_ERROR) {
        lxw_format* text = workbook_add_format(book);
        format_set_num_format(text, "@");
        format_set_text_wrap(text);
        format_set_align(text, LXW_ALIGN_VERTICAL_TOP);
        lxw_format* header = workbook_add_format(book);
        format_set_num_format(header, "@");
        format_set_bold(header);
        std::vector<double> widths;
        for (std::size_t r = 0; r < cells.size() && status == LXW_NO_ERROR; ++r) {
            for (std::size_t c = 0; c < cells[r].size() && status == LXW_NO_ERROR; ++c) {
                widths.resize(std::max(widths.size(), c + 1), 0.0);
                widths[c] = std::max(widths[c], displayWidth(cells[r][c]));
                status = worksheet_write_string(sheet, static_cast<lxw_row_t>(r),
                                                static_cast<lxw_col_t>(c), cells[r][c].c_str(),
                                                r == 0 ? header : text);
            }
        }
        for (std::size_t c = 0; c < widths.size() && status == LXW_NO_ERROR; ++c) {
            // Wide enough for most texts; a long question wraps instead.
            const double width = std::clamp(widths[c] + 2, 8.0, c == 0 ? 60.0 : 30.0);
            status = worksheet_set_column(sheet, static_cast<lxw_col_t>(c),
                                          static_cast<lxw_col_t>(c), width, text);
        }
        if (status == LXW_NO_ERROR) {
            worksheet_freeze_panes(sheet, 1, 0);
        }
    }
    const lxw_error closed = book ? workbook_close(book) : LXW_ERROR_MEMORY_MALLOC_FAILED;
    status = status == LXW_NO_ERROR ? closed : status;
    std::optional<std::string> bytes;
    if (status == LXW_NO_ERROR) {
        std::ifstream in(path, std::ios::binary);
        bytes.emplace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            bytes.reset();
        }
    }
    if (!bytes) {
        error = std::string("ブックを作れません（") + lxw_strerror(status) + "）";
    }
    std::filesystem::remove_all(dir, ec);
    return bytes;
}

}  // namespace studyhop::tool
