#include "data/cell.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace studyhop {

Cell Cell::text(std::string value) {
    Cell c;
    c.m_kind = CellKind::Text;
    c.m_text = std::move(value);
    return c;
}

Cell Cell::number(double value) {
    Cell c;
    c.m_kind = CellKind::Number;
    c.m_number = value;
    return c;
}

std::optional<double> Cell::numericValue() const {
    switch (m_kind) {
        case CellKind::Empty:
            return 0.0;
        case CellKind::Number:
            return m_number;
        case CellKind::Text:
            return parseNumber(m_text);
    }
    return std::nullopt;
}

std::string Cell::asText() const {
    switch (m_kind) {
        case CellKind::Empty:
            return {};
        case CellKind::Number:
            return formatNumber(m_number);
        case CellKind::Text:
            return m_text;
    }
    return {};
}

bool Cell::equalsNumber(double value) const {
    const auto v = numericValue();
    return v && *v == value;
}

bool Cell::addOne() {
    const auto v = numericValue();
    if (!v) {
        return false;
    }
    *this = Cell::number(*v + 1);
    return true;
}

std::optional<long long> wholeNumber(const Cell& cell, long long lo, long long hi) {
    const auto v = cell.numericValue();
    if (cell.isEmpty() || !v || *v < static_cast<double>(lo) || *v > static_cast<double>(hi) ||
        *v != std::floor(*v)) {
        return std::nullopt;
    }
    return static_cast<long long>(*v);
}

std::optional<double> parseNumber(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && isBlank(text[b])) {
        ++b;
    }
    while (e > b && isBlank(text[e - 1])) {
        --e;
    }
    const std::string_view s = text.substr(b, e - b);
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0 || i != s.size()) {
        return std::nullopt;
    }
    // The form is checked above, so strtod reads all of it. Digits beyond the
    // range of a double are a text, so every number written back reads back.
    const std::string copy(s);
    const double value = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string formatNumber(double value) {
    char buffer[800];
    if (!std::isfinite(value)) {
        return "0";  // parseNumber never makes one
    }
    if (value == std::floor(value)) {
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        return buffer;
    }
    // Fixed notation with 15 significant digits: an exponent would read back
    // as a text, not as a number.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(14 - exponent, 0, 400);
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

}  // namespace studyhop
