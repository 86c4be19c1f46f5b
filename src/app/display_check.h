#pragma once

#include <string>

namespace studyhop {

// Qt ends the process with SIGABRT when its platform plugin cannot reach the
// display. Before the QApplication is made, this chooses the platform and
// tells whether its display answers, waiting up to `waitMilliseconds` for an
// X server that is still coming up. Returns an empty string when the program
// may start, else the message to print.
//
// On a Wayland session that offers XWayland (DISPLAY is set as well) and
// when no platform is asked for, the X platform is chosen (QT_QPA_PLATFORM
// is set to "xcb"): Wayland lets no program place its own windows, and this
// one places the results beside the quiz and each dialog over its opener.
// Without XWayland the native Wayland platform is used when its plugin is
// installed and the compositor answers. Other platforms (offscreen) are left
// to Qt.
std::string displayProblem(int waitMilliseconds);

}  // namespace studyhop
