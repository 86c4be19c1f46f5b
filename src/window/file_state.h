#pragma once

namespace studyhop {

// What the program is doing with the question file, as the main window's
// strip shows it in Text4 (the enum's value is the digit shown; None shows
// nothing).
enum class FileState {
    None = -1,    // nothing opened yet
    NewFile = 0,  // the editor starts a new file without a name
    Legacy = 1,   // a legacy file is open
    Current = 2,  // a current file is open
    Retest = 3,   // the first pass of a quiz is over: retests follow
    NoData = 5,   // the quiz found nothing to ask
};

}  // namespace studyhop
