#include "editor/field_check.h"

#include <vector>

#include "data/question_table.h"
#include "data/text_check.h"

namespace studyhop {

std::optional<std::string> missingFieldMessage(const QuestionFields& fields) {
    if (fields.question.empty()) {
        return "問題が入力されていません";
    }
    bool anyChoice = false;
    for (const std::string& c : fields.choices) {
        anyChoice = anyChoice || !c.empty();
    }
    if (!anyChoice) {
        return "回答欄が入力されていません";
    }
    if (fields.correct.empty()) {
        return "正解番号が入力されていません";
    }
    return std::nullopt;
}

bool fillMissingChoices(QuestionFields& fields) {
    for (int k = 0; k < 5; ++k) {
        std::string& choice = fields.choices[k];
        if (choice.empty() || choice == kNoChoice) {
            if (fields.correct == std::to_string(k + 1)) {
                return false;
            }
            choice = kNoChoice;
        }
    }
    return true;
}

std::optional<std::string> unstorableMessage(const QuestionFields& fields) {
    std::vector<std::string> texts = {fields.question};
    texts.insert(texts.end(), fields.choices.begin(), fields.choices.end());
    const auto found = findUnstorable(texts);
    if (!found) {
        return std::nullopt;
    }
    static const char* const kBoxes[] = {"問題内容", "回答１", "回答２",
                                         "回答３",   "回答４", "回答５"};
    std::string what;
    const std::string& c = found->character;
    if (c == ",") {
        what = "「,」（半角カンマ）";
    } else if (c == "\"") {
        what = "「\"」（半角ダブルクォート）";
    } else if (c == "\r" || c == "\n") {
        what = "改行";
    } else if (c.size() == 1 && (static_cast<unsigned char>(c[0]) < 0x20 || c[0] == 0x7F)) {
        what = "制御文字";
    } else {
        what = "「" + c + "」";
    }
    return "「" + std::string(kBoxes[found->field]) + "」に問題ファイルに保存できない文字" + what +
           "があります。\r\n別の文字に置き換えてください。";
}

}  // namespace studyhop
