// Runs a command N times and prints the median wall time in milliseconds and
// the largest peak resident memory in KiB: "median_ms peak_kib".
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: process_bench RUNS COMMAND [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<double> times;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            ::execv(argv[2], argv + 2);
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        const auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "%s failed\n", argv[2]);
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        peak = std::max(peak, usage.ru_maxrss);
    }
    std::sort(times.begin(), times.end());
    std::printf("%.2f %ld\n", times[times.size() / 2], peak);
    return 0;
}
