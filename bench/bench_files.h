#pragma once

#include <string>

#include "data/question_table.h"

namespace studyhop::bench {

// The largest legal question set: 101 questions with 200-character Japanese
// texts in every text field.
QuestionTable largestTable();

}  // namespace studyhop::bench
