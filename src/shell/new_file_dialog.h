#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "window/form.h"

namespace studyhop {

// The new-file dialog: asks for a name and opens the editor on a new, empty
// current question file of that name (the name + ".qz2").
class Form3 : public Form {
    Q_OBJECT
public:
    explicit Form3(const WindowContext& context);

    void Command1_Click(int index);
    void Text1_KeyDown(int keyCode, int shift);

    QLabel* Label1;
    QLineEdit* Text1;
    std::array<QPushButton*, 2> Command1{};

private:
    void create();
};

// Why a typed name cannot be a question file in the working directory, or ""
// when it can: separators, "..", characters file names cannot hold, control
// characters, or nothing but blanks.
QString fileNameProblem(const QString& name);

}  // namespace studyhop
