#pragma once

namespace studyhop::tool {

// From now on Ctrl-C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP,
// SIGQUIT) end the program as before, with the status of that signal, but
// first remove the temporary file of a write under way: an interrupted
// command leaves its output file as it was and nothing beside it. On
// Windows the same holds for Ctrl-C, Ctrl-Break and a closed console window,
// through the console's control handler.
void removeTemporaryFileWhenInterrupted();

}  // namespace studyhop::tool
