// Loads one hostile file with both loaders and prints the slower time in
// milliseconds and how far the load raised the peak resident memory, in KiB:
// "ms kib error-kind".
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "data/file_io.h"
#include "data/question_file.h"

namespace {

long peakKib() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hostile_probe FILE\n");
        return 2;
    }
    using namespace studyhop;
    FileSystem fs;
    const long before = peakKib();
    double slowest = 0;
    int kind = 0;
    for (int legacy = 0; legacy < 2; ++legacy) {
        const auto start = std::chrono::steady_clock::now();
        const LoadResult r =
            legacy ? loadLegacyQuestionFile(fs, argv[1]) : loadCurrentQuestionFile(fs, argv[1]);
        const auto end = std::chrono::steady_clock::now();
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(end - start).count());
        if (r.status.ok()) {
            std::fprintf(stderr, "%s was accepted\n", argv[1]);
            return 1;
        }
        kind = static_cast<int>(r.status.kind());
    }
    std::printf("%.2f %ld %d\n", slowest, peakKib() - before, kind);
    return 0;
}
