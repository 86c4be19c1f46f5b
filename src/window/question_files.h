#pragma once

#include <QString>

namespace studyhop {

// The question file the quiz starts on and the name of a new file the editor
// starts without a name.
inline const QString kDefaultQuestionFile = QStringLiteral("試験ﾃﾞｰﾀ.qz2");
// The file lists' pattern for every question file, current and legacy.
inline const QString kQuestionFilePattern = QStringLiteral("*.qzb;*.qz2");

}  // namespace studyhop
