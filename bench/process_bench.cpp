// Runs commands N times each and prints, for each, the median wall time in
// milliseconds and the largest peak resident memory in KiB:
// "median_ms peak_kib" per command, on one line. Commands are separated by
// "--" and their runs interleaved, so a change in the machine's load during
// the measurement falls on all of them alike.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Command {
    std::vector<char*> argv;
    std::vector<double> times;
    long peak = 0;
};

bool runOnce(Command& command) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(command.argv[0], command.argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", command.argv[0]);
        return false;
    }
    command.times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    command.peak = std::max(command.peak, usage.ru_maxrss);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: process_bench RUNS COMMAND [ARGS...] [-- COMMAND [ARGS...]]...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Command> commands(1);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            commands.back().argv.push_back(nullptr);
            commands.emplace_back();
        } else {
            commands.back().argv.push_back(argv[i]);
        }
    }
    commands.back().argv.push_back(nullptr);
    for (int r = 0; r < runs; ++r) {
        for (Command& command : commands) {
            if (command.argv.size() < 2 || !runOnce(command)) {
                return 1;
            }
        }
    }
    for (size_t c = 0; c < commands.size(); ++c) {
        std::vector<double>& times = commands[c].times;
        std::sort(times.begin(), times.end());
        std::printf("%s%.2f %ld", c > 0 ? " " : "", times[times.size() / 2], commands[c].peak);
    }
    std::printf("\n");
    return 0;
}
