// Data layer costs on the largest legal question file, with their floors: the
// CP932 conversion alone and a plain read or atomic replace of the same bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "bench_files.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "data/question_file.h"
#include "quiz/asking_order.h"
#include "tool/question_sheet.h"

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

// The largest sheet import takes: 100 questions (the most one file may get
// from import) with 200-character texts, exported as CSV. Importing it reads
// the CSV, checks every cell and makes the question file's bytes; its peer is
// loading the question file that import produces.
struct LargestSheet {
    LargestSheet() {
        csv = scratch().dir + "/largest.csv";
        imported = scratch().dir + "/imported.qz2";
        fs.replaceFile(csv, tool::exportSheet(scratch().table, kImported, FileFormat::Current, ','));
        std::string bytes;
        fs.readFile(csv, bytes);
        const tool::SheetImport sheet = tool::importSheet(bytes, ',', FileFormat::Current);
        QuestionTable table;
        std::copy(sheet.rows.begin(), sheet.rows.end(), table.rows.begin());
        saveQuestionFile(fs, imported, FileFormat::Current, table, kImported);
    }
    static constexpr int kImported = 100;
    std::string csv;
    std::string imported;
};

LargestSheet& largestSheet() {
    static LargestSheet s;
    return s;
}

void ImportLargestCsv(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) {
        fs.readFile(largestSheet().csv, bytes);
        // Every check, and the question file's bytes ready to write.
        benchmark::DoNotOptimize(tool::importSheet(bytes, ',', FileFormat::Current).fileBytes);
    }
}
BENCHMARK(ImportLargestCsv);

void LoadImported(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(loadCurrentQuestionFile(fs, largestSheet().imported));
    }
}
BENCHMARK(LoadImported);

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
