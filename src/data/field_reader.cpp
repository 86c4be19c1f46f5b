#include "data/field_reader.h"

#include <string>

namespace studyhop {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
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

bool FieldReader::readField(Cell& cell) {
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
    if (m_pos >= m_text.size()) {
        // A comma right before the end promises one more, empty, field.
        if (m_afterComma) {
            m_afterComma = false;
            cell = Cell();
            return true;
        }
        return false;
    }
    if (m_text[m_pos] == '"') {
        const size_t close = m_text.find('"', m_pos + 1);
        if (close == std::string_view::npos) {
            return false;
        }
        const std::string_view content = m_text.substr(m_pos + 1, close - m_pos - 1);
        for (char c : content) {
            if (c == '\n') {
                ++m_line;
            }
        }
        cell = Cell::text(std::string(content));
        m_pos = close + 1;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !atLineEnd()) {
            ++m_pos;
        }
        consumeSeparator();
        return true;
    }
    const size_t start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != ',' && !atLineEnd()) {
        ++m_pos;
    }
    const std::string_view content = m_text.substr(start, m_pos - start);
    consumeSeparator();
    if (content.empty()) {
        cell = Cell();
    } else if (const auto number = parseNumber(content)) {
        cell = Cell::number(*number);
    } else {
        cell = Cell::text(std::string(content));
    }
    return true;
}

}  // namespace studyhop
