#include "data/delimited.h"

#include "data/text_encoding.h"

namespace studyhop {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

class Reader {
public:
    Reader(std::string_view text, char separator) : m_text(text), m_separator(separator) {}

    DelimitedText read() {
        DelimitedText result;
        if (m_text.starts_with(kUtf8Bom)) {
            m_pos = kUtf8Bom.size();
            result.hadBom = true;
        }
        while (m_pos < m_text.size()) {
            DelimitedRecord record;
            record.line = m_line;
            if (!readRecord(record, result)) {
                result.ok = false;
                return result;
            }
            result.records.push_back(std::move(record));
        }
        return result;
    }

private:
    // Consumes one line end at m_pos (CR LF counts as one).
    void consumeLineEnd() {
        if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n') {
            ++m_pos;
        }
        ++m_pos;
        ++m_line;
    }

    bool readRecord(DelimitedRecord& record, DelimitedText& result) {
        for (;;) {
            DelimitedCell cell;
            cell.line = m_line;
            if (!readField(cell.text, static_cast<int>(record.cells.size()) + 1, result)) {
                return false;
            }
            record.cells.push_back(std::move(cell));
            if (m_pos >= m_text.size()) {
                return true;
            }
            if (m_text[m_pos] == m_separator) {
                ++m_pos;
                if (m_pos >= m_text.size()) {
                    record.cells.push_back(DelimitedCell{{}, m_line});
                    return true;
                }
                continue;
            }
            consumeLineEnd();
            return true;
        }
    }

    // Reads one field up to (not including) its separator or line end.
    bool readField(std::string& field, int column, DelimitedText& result) {
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            const int startLine = m_line;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size()) {
                    fail(result, startLine, column, "引用符（\"）が閉じられていません");
                    return false;
                }
                const char c = m_text[m_pos];
                if (c == '"') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '"') {
                        field += '"';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                if (c == '\n' ||
                    (c == '\r' && (m_pos + 1 >= m_text.size() || m_text[m_pos + 1] != '\n'))) {
                    ++m_line;
                }
                field += c;
                ++m_pos;
            }
            if (m_pos < m_text.size() && m_text[m_pos] != m_separator &&
                !isLineEnd(m_text[m_pos])) {
                fail(result, m_line, column, "閉じた引用符（\"）のあとに文字があります");
                return false;
            }
            return true;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != m_separator && !isLineEnd(m_text[m_pos])) {
            ++m_pos;
        }
        field.assign(m_text.substr(start, m_pos - start));
        return true;
    }

    static void fail(DelimitedText& result, int line, int column, const char* what) {
        result.errorLine = line;
        result.errorColumn = column;
        result.error = what;
    }

    std::string_view m_text;
    char m_separator;
    std::size_t m_pos = 0;
    int m_line = 1;
};

bool needsQuotes(std::string_view field, char separator) {
    if (field.empty()) {
        return false;
    }
    // A line that begins with '#' is a comment or a directive to the
    // flash-card program's text reader.
    if (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' ||
        field.back() == '\t' || field.front() == '#') {
        return true;
    }
    for (char c : field) {
        if (c == separator || c == '"' || isLineEnd(c)) {
            return true;
        }
    }
    return false;
}

}  // namespace

DelimitedText readDelimited(std::string_view text, char separator) {
    return Reader(text, separator).read();
}

std::string delimitedRecord(const std::vector<std::string>& fields, char separator) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += separator;
        }
        const std::string& field = fields[i];
        if (!needsQuotes(field, separator)) {
            out += field;
            continue;
        }
        out += '"';
        for (char c : field) {
            if (c == '"') {
                out += '"';
            }
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
    return out;
}

}  // namespace studyhop
