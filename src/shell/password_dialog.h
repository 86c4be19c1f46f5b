#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "window/form.h"

namespace studyhop {

// The password dialog that switches on maintenance mode.
class Form5 : public Form {
    Q_OBJECT
public:
    explicit Form5(const WindowContext& context);

    void Command1_Click();
    void Text1_KeyDown(int keyCode, int shift);

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;

private:
    void checkPassword();
};

}  // namespace studyhop
