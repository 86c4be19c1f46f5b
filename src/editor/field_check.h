#pragma once

#include <array>
#include <optional>
#include <string>

namespace studyhop {

// What the editor's boxes hold, as UTF-8.
struct QuestionFields {
    std::string question;
    std::array<std::string, 5> choices;
    std::string correct;  // the correct-number text, "" when none is chosen
};

// The check before moving away from a question or registering it: the first
// missing entry's message, or nothing. Blanks or "ﾅｼ" count as entered.
std::optional<std::string> missingFieldMessage(const QuestionFields& fields);

// Fills every empty choice with the no-choice marker, in order, and stops at
// the first one the correct number points at: false then (the boxes before it
// are filled already).
bool fillMissingChoices(QuestionFields& fields);

// The message for a text a question file cannot hold, naming the box and the
// character, or nothing when every text can be stored.
std::optional<std::string> unstorableMessage(const QuestionFields& fields);

}  // namespace studyhop
