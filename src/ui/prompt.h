#pragma once

#include <QString>

namespace studyhop {

// OkCancelSafe: OK and キャンセル with キャンセル the default, for a box whose OK
// removes or replaces questions: Enter, pressed out of habit, loses nothing.
enum class PromptButtons { Ok, OkCancel, OkCancelSafe };
enum class PromptAnswer { Ok, Cancel };

// The program's modal message boxes: a text, a title, OK or OK and Cancel, no
// icon. Windows report to the user only through this interface.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual PromptAnswer ask(const QString& text, const QString& title,
                             PromptButtons buttons = PromptButtons::Ok) = 0;
};

}  // namespace studyhop
