#pragma once

#include <QStringList>

namespace studyhop {

// The font families of the user interface, best first: the system's own
// Japanese UI fonts (japanese_fonts_windows.cpp, japanese_fonts_posix.cpp).
const QStringList& japaneseFamilies();

}  // namespace studyhop
