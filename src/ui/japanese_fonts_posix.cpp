#include "ui/japanese_fonts.h"

namespace studyhop {

const QStringList& japaneseFamilies() {
    static const QStringList families = {
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
        QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"), QStringLiteral("sans-serif")};
    return families;
}

}  // namespace studyhop
