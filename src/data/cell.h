#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace studyhop {

enum class CellKind { Empty, Text, Number };

// One value of the question table: empty, a text (UTF-8) or a number.
// Arithmetic treats empty as 0 and a text by the number it spells; a text
// that spells no number has no numeric value (a type failure for the caller).
class Cell {
public:
    Cell() = default;
    static Cell text(std::string value);
    static Cell number(double value);

    CellKind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == CellKind::Empty; }
    bool isText() const { return m_kind == CellKind::Text; }
    bool isNumber() const { return m_kind == CellKind::Number; }

    // The numeric value; nullopt for a text that does not spell a number.
    std::optional<double> numericValue() const;
    // The cell as display text: a number as its decimal text, empty as "".
    std::string asText() const;
    // A text cell's text without a copy (empty for the other kinds).
    std::string_view textView() const { return m_kind == CellKind::Text ? std::string_view(m_text) : std::string_view(); }

    // Text comparison, exact and case-significant; empty equals "".
    bool equalsText(std::string_view value) const { return asText() == value; }
    // Numeric comparison; false when the cell has no numeric value.
    bool equalsNumber(double value) const;

    // Stores numeric value + 1 as a number. False (cell unchanged) on a type failure.
    bool addOne();

    bool operator==(const Cell& other) const = default;

private:
    CellKind m_kind = CellKind::Empty;
    std::string m_text;
    double m_number = 0;
};

// A blank as the reading rules mean it: a space or a tab.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The cell's value when it is a whole number from lo to hi (a number, or a
// text that spells one), else nothing.
std::optional<long long> wholeNumber(const Cell& cell, long long lo, long long hi);

// The number a text spells: an optional sign, digits with an optional decimal
// point, blanks allowed on both sides. No exponent, no thousands separators.
std::optional<double> parseNumber(std::string_view text);

// A number as the decimal text the files use: whole numbers without a point,
// others with up to 15 significant digits; never an exponent.
std::string formatNumber(double value);

}  // namespace studyhop
