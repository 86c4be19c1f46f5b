#include "ui/key_codes.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace studyhop {
namespace {

KeyDown key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QKeyEvent event(QEvent::KeyPress, qtKey, mods);
    return translateKey(event);
}

TEST(KeyCodesTest, TranslatesToClassicKeyCodesAndShiftBits) {
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers mods;
        int code;
        int shift;
    } cases[] = {
        {Qt::Key_Z, Qt::AltModifier, 90, 4},
        {Qt::Key_Z, Qt::AltModifier | Qt::ShiftModifier, 90, 5},
        {Qt::Key_Z, Qt::AltModifier | Qt::ControlModifier, 90, 6},
        {Qt::Key_N, Qt::ShiftModifier, 78, 1},
        {Qt::Key_1, Qt::NoModifier, 49, 0},
        {Qt::Key_5, Qt::NoModifier, 53, 0},
        {Qt::Key_1, Qt::KeypadModifier, 97, 0},
        {Qt::Key_5, Qt::KeypadModifier, 101, 0},
        {Qt::Key_Return, Qt::NoModifier, 13, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, 13, 0},
        {Qt::Key_F1, Qt::NoModifier, 0, 0},
    };
    for (const Case& c : cases) {
        const KeyDown k = key(c.qtKey, c.mods);
        EXPECT_EQ(k.keyCode, c.code) << c.qtKey;
        EXPECT_EQ(k.shift, c.shift) << c.qtKey;
    }
}

}  // namespace
}  // namespace studyhop
