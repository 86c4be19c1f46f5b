#include "data/field_reader.h"

#include <algorithm>
#include <string>

namespace studyhop {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
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
    std::string text;
    std::size_t fault = 0;
    if (!m_decoder.decode(bytes, text, fault)) {
        return Result::Encoding;
    }
    cell = Cell::text(std::move(text));
    return Result::Ok;
}

FieldReader::Result FieldReader::read(Cell& cell) {
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
    if (m_pos >= m_text.size()) {
        // A comma right before the end promises one more, empty, field.
        if (m_afterComma) {
            m_afterComma = false;
            m_lastField = {};
            cell = Cell();
            return Result::Ok;
        }
        return Result::CutShort;
    }
    if (m_text[m_pos] == '"') {
        const std::size_t close = m_text.find('"', m_pos + 1);
        if (close == std::string_view::npos) {
            return Result::CutShort;
        }
        const std::string_view content = m_text.substr(m_pos + 1, close - m_pos - 1);
        m_lastField = content;
        const Result made = makeText(content, cell);
        for (char c : content) {
            if (c == '\n') {
                ++m_line;
            }
        }
        m_pos = close + 1;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !atLineEnd()) {
            ++m_pos;
        }
        consumeSeparator();
        return made;
    }
    const std::size_t start = m_pos;
    // Stop looking once the field is too long to be one: a hostile file is
    // refused after reading at most kMaxFieldBytes of it.
    const std::size_t end = std::min(m_text.size(), start + kMaxFieldBytes + 1);
    while (m_pos < end && !isSeparator(m_text[m_pos])) {
        ++m_pos;
    }
    if (m_pos - start > kMaxFieldBytes) {
        return Result::TooLong;
    }
    const std::string_view content = m_text.substr(start, m_pos - start);
    m_lastField = content;
    const int fieldLine = m_line;
    consumeSeparator();
    if (content.empty()) {
        cell = Cell();
        return Result::Ok;
    }
    if (content.size() <= 512) {
        if (const auto number = parseNumber(content)) {
            cell = Cell::number(*number);
            return Result::Ok;
        }
    }
    const Result made = makeText(content, cell);
    if (made != Result::Ok) {
        m_line = fieldLine;  // report the line of the field itself
    }
    return made;
}

}  // namespace studyhop
