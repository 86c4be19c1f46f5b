#include "data/field_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace studyhop {

namespace {
bool isSeparator(char c) {
    return c == ',' || c == '\r' || c == '\n';
}
}  // namespace

bool FieldReader::atLineEnd() const {
    return m_pos < m_text.size() && (m_text[m_pos] == '\r' || m_text[m_pos] == '\n');
}

void FieldReader::consumeLineEnd() {
    if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n') {
        ++m_pos;
    }
    ++m_pos;
    ++m_line;
}

// Consumes the comma or line end that ends a field, if any.
void FieldReader::consumeSeparator() {
    m_afterComma = false;
    if (m_pos >= m_text.size()) {
        return;
    }
    if (m_text[m_pos] == ',') {
        ++m_pos;
        m_afterComma = true;
    } else if (atLineEnd()) {
        consumeLineEnd();
    }
}

bool FieldReader::atEndOfRecords() {
    while (m_pos < m_text.size()) {
        if (isBlank(m_text[m_pos])) {
            ++m_pos;
        } else if (atLineEnd()) {
            consumeLineEnd();
        } else {
            break;
        }
    }
    m_afterComma = false;
    return m_pos >= m_text.size();
}

FieldReader::Result FieldReader::makeText(std::string_view bytes, Cell& cell) {
    if (bytes.size() > kMaxFieldBytes) {
        return Result::TooLong;
    }
    if (m_skipping) {
        return Result::Ok;
    }
    std::string text;
    std::size_t fault = 0;
    if (!m_decoder.decode(bytes, text, fault)) {
        return Result::Encoding;
    }
    cell = Cell::text(std::move(text));
    return Result::Ok;
}

FieldReader::Result FieldReader::fail(Result result, int line) {
    m_faultLine = line;
    return result;
}

FieldReader::Result FieldReader::read(Cell& cell) {
    m_fieldBegin = m_pos;
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
    if (m_pos >= m_text.size()) {
        // A comma right before the end promises one more, empty, field.
        if (m_afterComma) {
            m_afterComma = false;
            m_lastField = {};
            m_fieldEnd = m_pos;
            cell = Cell();
            return Result::Ok;
        }
        return fail(Result::CutShort, m_lastFieldEndLine > 0 ? m_lastFieldEndLine : m_line);
    }
    if (m_text[m_pos] == '"') {
        const int startLine = m_line;
        const std::size_t close = m_text.find('"', m_pos + 1);
        if (close == std::string_view::npos) {
            return fail(Result::CutShort, startLine);
        }
        const std::string_view content = m_text.substr(m_pos + 1, close - m_pos - 1);
        m_lastField = content;
        const Result made = makeText(content, cell);
        for (char c : content) {
            if (c == '\n') {
                ++m_line;
            }
        }
        m_lastFieldEndLine = m_line;
        m_pos = close + 1;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !atLineEnd()) {
            ++m_pos;
        }
        m_fieldEnd = m_pos;
        consumeSeparator();
        return made == Result::Ok ? made : fail(made, startLine);
    }
    const std::size_t start = m_pos;
    // Stop looking once the field is too long to be one: a hostile file is
    // refused after reading at most kMaxFieldBytes of it.
    const std::size_t end = std::min(m_text.size(), start + kMaxFieldBytes + 1);
    // The nearest of the three separators, each looked for by memchr: fields
    // run to hundreds of bytes, and this is most of the reading.
    size_t limit = end - m_pos;
    for (const char separator : {',', '\r', '\n'}) {
        if (const void* found = std::memchr(m_text.data() + m_pos, separator, limit)) {
            limit = static_cast<size_t>(static_cast<const char*>(found) - (m_text.data() + m_pos));
        }
    }
    m_pos += limit;
    if (m_pos - start > kMaxFieldBytes) {
        return fail(Result::TooLong, m_line);
    }
    const std::string_view content = m_text.substr(start, m_pos - start);
    m_lastField = content;
    const int fieldLine = m_line;
    // An empty field ended by a line end is a blank line, which says nothing
    // about where a record was cut short.
    if (!content.empty() || (m_pos < m_text.size() && m_text[m_pos] == ',')) {
        m_lastFieldEndLine = fieldLine;
    }
    m_fieldEnd = m_pos;
    consumeSeparator();
    if (content.empty()) {
        cell = Cell();
        return Result::Ok;
    }
    if (content.size() <= 512 && !m_skipping) {
        if (const auto number = parseNumber(content)) {
            cell = Cell::number(*number);
            return Result::Ok;
        }
    }
    const Result made = makeText(content, cell);
    if (made != Result::Ok) {
        m_line = fieldLine;  // report the line of the field itself
        return fail(made, fieldLine);
    }
    return made;
}

FieldReader::Result FieldReader::skip() {
    m_skipping = true;
    Cell unused;
    const Result r = read(unused);
    m_skipping = false;
    return r;
}

bool readsBackPlain(std::string_view text) {
    if (text.empty()) {
        return true;  // an empty field, which reads back as ""
    }
    if (isBlank(text.front()) || text.front() == '"') {
        return false;
    }
    if (std::any_of(text.begin(), text.end(), isSeparator)) {
        return false;
    }
    // The reader tries a number only in fields of up to 512 bytes; a number
    // is all ASCII, so its UTF-8 and CP932 lengths agree.
    if (text.size() <= 512) {
        if (const auto number = parseNumber(text)) {
            return !(*number == 0 && std::signbit(*number)) && formatNumber(*number) == text;
        }
    }
    return true;
}

}  // namespace studyhop
