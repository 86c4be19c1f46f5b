#pragma once

#include <string>

namespace studyhop {

// Qt ends the process with SIGABRT when its platform plugin cannot reach the
// display. Before the QApplication is made, this tells whether the X display
// the program would use answers, waiting up to `waitMilliseconds` for a server
// that is still coming up. Returns an empty string when the program may
// start, else the message to print. Platforms other than X (offscreen, a
// Wayland session) are left to Qt.
std::string displayProblem(int waitMilliseconds);

}  // namespace studyhop
