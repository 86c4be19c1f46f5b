#include "ui/japanese_fonts.h"

namespace studyhop {

// Windows' Japanese UI fonts (Yu Gothic UI from Windows 8.1 on, Meiryo UI
// from Vista, MS UI Gothic always); Noto Sans CJK JP is what Wine finds on a
// Debian machine that tests the build.
const QStringList& japaneseFamilies() {
    static const QStringList families = {
        QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"), QStringLiteral("MS UI Gothic"),
        QStringLiteral("Noto Sans CJK JP")};
    return families;
}

}  // namespace studyhop
