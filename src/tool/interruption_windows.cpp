#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "data/file_io.h"
#include "data/platform.h"
#include "tool/interruption.h"

namespace studyhop::tool {

namespace {

// Windows runs the handler on a thread of its own while the tool's thread
// goes on. unfinishedTemporaryFile() holds that thread off every later step
// of a write, so the file removed here is still the tool's own and no rename
// follows. Returning FALSE lets the default handler end the process, with
// the status a console expects of Ctrl-C.
BOOL WINAPI removeTemporaryFileAndEnd(DWORD /*event*/) {
    if (const char* temporary = unfinishedTemporaryFile()) {
        DeleteFileW(widenUtf8(temporary).c_str());
    }
    return FALSE;
}

}  // namespace

void removeTemporaryFileWhenInterrupted() {
    SetConsoleCtrlHandler(removeTemporaryFileAndEnd, TRUE);
}

}  // namespace studyhop::tool
