#include "app/display_check.h"

namespace studyhop {

// A Windows desktop is always there for a program started in it, and Qt's
// windows platform needs no display to be named.
std::string displayProblem(int /*waitMilliseconds*/) {
    return {};
}

}  // namespace studyhop
