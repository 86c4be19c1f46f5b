// Data layer costs on the largest legal question file, with their floors: the
// CP932 conversion alone and a plain read or atomic replace of the same bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench_files.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "data/question_file.h"
#include "quiz/asking_order.h"

namespace studyhop::bench {
namespace {

FileSystem fs;

// A scratch directory for the files the benchmarks read and write.
struct Scratch {
    Scratch() {
        char templ[] = "/tmp/studyhop-bench-XXXXXX";
        dir = ::mkdtemp(templ);
        table = largestTable();
        current = dir + "/largest.qz2";
        legacy = dir + "/largest.qzb";
        saveQuestionFile(fs, current, FileFormat::Current, table, kRows);
        saveQuestionFile(fs, legacy, FileFormat::Legacy, table, kRows);
        fs.readFile(current, currentBytes);
        text = questionFileText(FileFormat::Current, table, kRows);
    }
    std::string dir;
    QuestionTable table;
    std::string current;
    std::string legacy;
    std::string currentBytes;
    std::string text;
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

void LoadCurrent(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(loadCurrentQuestionFile(fs, scratch().current));
    }
}
BENCHMARK(LoadCurrent);

void LoadLegacy(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(loadLegacyQuestionFile(fs, scratch().legacy));
    }
}
BENCHMARK(LoadLegacy);

void DecodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeCp932(scratch().currentBytes));
    }
}
BENCHMARK(DecodeOnly);

void PlainRead(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fs.readFile(scratch().current, bytes));
    }
}
BENCHMARK(PlainRead);

void SaveCurrent(benchmark::State& state) {
    const std::string path = scratch().dir + "/save.qz2";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            saveQuestionFile(fs, path, FileFormat::Current, scratch().table, kRows));
    }
}
BENCHMARK(SaveCurrent)->UseRealTime();

void SaveLegacy(benchmark::State& state) {
    const std::string path = scratch().dir + "/save.qzb";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            saveQuestionFile(fs, path, FileFormat::Legacy, scratch().table, kRows));
    }
}
BENCHMARK(SaveLegacy)->UseRealTime();

void WriteBackStatistics(benchmark::State& state) {
    const std::string path = scratch().dir + "/stats.qz2";
    for (auto _ : state) {
        benchmark::DoNotOptimize(writeBackStatistics(fs, path, scratch().table, kRows, kRows));
    }
}
BENCHMARK(WriteBackStatistics)->UseRealTime();

// The floor of a save: the conversion and one atomic replace of the same size.
void EncodeAndReplace(benchmark::State& state) {
    const std::string path = scratch().dir + "/floor.qz2";
    for (auto _ : state) {
        const Conversion bytes = encodeCp932(scratch().text);
        benchmark::DoNotOptimize(fs.replaceFile(path, bytes.text));
    }
}
BENCHMARK(EncodeAndReplace)->UseRealTime();

void AskingOrderRandomFiltered(benchmark::State& state) {
    RandomSource random;
    const QuestionTable& table = scratch().table;
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildAskingOrder(table, kRows, {5, 1, false}, random));
    }
}
BENCHMARK(AskingOrderRandomFiltered);

}  // namespace
}  // namespace studyhop::bench

BENCHMARK_MAIN();
