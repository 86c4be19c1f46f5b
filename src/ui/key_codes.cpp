#include "ui/key_codes.h"

#include <QKeyEvent>

namespace studyhop {

KeyDown translateKey(const QKeyEvent& event) {
    KeyDown key;
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (mods & Qt::ShiftModifier)
        key.shift |= kShiftMask;
    if (mods & Qt::ControlModifier)
        key.shift |= kCtrlMask;
    if (mods & Qt::AltModifier)
        key.shift |= kAltMask;

    const int k = event.key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        key.keyCode = (mods & Qt::KeypadModifier) ? 96 + (k - Qt::Key_0) : k;
    } else if (k >= Qt::Key_A && k <= Qt::Key_Z) {
        key.keyCode = k;  // Qt's letter keys are the upper-case ASCII codes
    } else {
        switch (k) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                key.keyCode = kKeyEnter;
                break;
            case Qt::Key_Escape:
                key.keyCode = 27;
                break;
            case Qt::Key_Space:
                key.keyCode = 32;
                break;
            case Qt::Key_Tab:
                key.keyCode = 9;
                break;
            case Qt::Key_Backspace:
                key.keyCode = 8;
                break;
            default:
                key.keyCode = 0;
        }
    }
    return key;
}

}  // namespace studyhop
