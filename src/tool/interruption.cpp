#include "tool/interruption.h"

#include <signal.h>
#include <unistd.h>

#include "data/file_io.h"

namespace studyhop::tool {

namespace {

// Only async-signal-safe calls: unlink and raise. The tool writes on its one
// thread, which is the thread the handler interrupts, and the data layer holds
// these signals back while it records or forgets the name, so the name read
// here is whole and still the tool's own. SA_RESETHAND has put the default
// action back, so the raised signal ends the program once this handler
// returns, with the status a shell expects of that signal.
void removeTemporaryFileAndEnd(int signal) {
    if (const char* temporary = unfinishedTemporaryFile()) {
        ::unlink(temporary);
    }
    ::raise(signal);
}

}  // namespace

void removeTemporaryFileWhenInterrupted() {
    struct sigaction action {};
    action.sa_handler = removeTemporaryFileAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction before {};
        // A signal the caller chose to ignore (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace studyhop::tool
