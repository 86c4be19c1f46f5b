#pragma once

namespace studyhop {

class ChangeJournal;
class FileSystem;
class Prompt;
class RandomSource;
class SharedState;
class WindowOwner;

// What every window is built with: the owner, the shared state, the message
// boxes, the file system and the random generator of the run. All of them
// outlive every window.
struct WindowContext {
    WindowOwner& owner;
    SharedState& state;
    Prompt& prompt;
    FileSystem& fs;
    RandomSource& random;
    ChangeJournal& journal;
};

}  // namespace studyhop
