#pragma once

#include "ui/prompt.h"

namespace studyhop {

// Message boxes on Qt: no icon, buttons "OK" and "キャンセル".
class QtPrompt : public Prompt {
public:
    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override;
};

}  // namespace studyhop
