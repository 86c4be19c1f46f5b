#pragma once

class QKeyEvent;

namespace studyhop {

// Shift state bits as the key handlers receive them.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

inline constexpr int kKeyEnter = 13;

// A key as the handlers receive it: letters as upper-case ASCII, main-keyboard
// digits 48..57, keypad digits 96..105, Enter 13; 0 for keys without a code.
struct KeyDown {
    int keyCode = 0;
    int shift = 0;
};

KeyDown translateKey(const QKeyEvent& event);

}  // namespace studyhop
