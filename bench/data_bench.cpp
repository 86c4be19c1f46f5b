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
#include "data/question_change.h"
#include "data/question_file.h"
#include "quiz/asking_order.h"
#include "tool/question_sheet.h"

namespace studyhop::bench {
namespace {

FileSystem fs;

// A file as a new one is written: the bytes of questionFileText.
void saveNew(const std::string& path, FileFormat format, const QuestionTable& table, int count) {
    encodeAndReplace(fs, path, questionFileText(format, table, count));
}

QuestionFileRead readBack(const std::string& path) {
    const FileFormat format = formatForName(path);
    return questionFileRead(path, format,
                            format == FileFormat::Current ? loadCurrentQuestionFile(fs, path)
                                                          : loadLegacyQuestionFile(fs, path));
}

// A scratch directory for the files the benchmarks read and write.
struct Scratch {
    Scratch() {
        char templ[] = "/tmp/studyhop-bench-XXXXXX";
        dir = ::mkdtemp(templ);
        table = largestTable();
        current = dir + "/largest.qz2";
        legacy = dir + "/largest.qzb";
        saveNew(current, FileFormat::Current, table, kRows);
        saveNew(legacy, FileFormat::Legacy, table, kRows);
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

// The editor's save: one question of the largest file modified, through the
// change path (read again, find, change, check, replace), in turns between
// two texts so that every save writes.
void ModifyOne(benchmark::State& state, FileFormat format) {
    const std::string path =
        scratch().dir + (format == FileFormat::Current ? "/modify.qz2" : "/modify.qzb");
    saveNew(path, format, scratch().table, format == FileFormat::Current ? kRows : kMaxQuestions);
    QuestionFileChanger changer(fs);
    QuestionFileRead read = readBack(path);
    QuestionRow rows[2] = {read.table.rows[50], read.table.rows[50]};
    rows[1][kQuestionText] = Cell::text("変更した問題文");
    int turn = 0;
    for (auto _ : state) {
        turn = 1 - turn;
        const ChangeResult r = changer.apply(read, QuestionChange::modify(50, rows[turn], false));
        read = r.now;
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK_CAPTURE(ModifyOne, Current, FileFormat::Current)->UseRealTime();
BENCHMARK_CAPTURE(ModifyOne, Legacy, FileFormat::Legacy)->UseRealTime();

// The quiz's write-back of a pass over every question of a file of `n`
// questions, through the change path, against its floor below.
void WriteBackStatistics(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path = scratch().dir + "/stats" + std::to_string(n) + ".qz2";
    saveNew(path, FileFormat::Current, scratch().table, n);
    QuestionFileChanger changer(fs);
    QuestionFileRead read = readBack(path);
    const std::vector<double> one(static_cast<size_t>(n), 1.0);
    for (auto _ : state) {
        const ChangeResult r = changer.apply(read, QuestionChange::counts(one, one));
        read = r.now;
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(WriteBackStatistics)->Arg(kRows)->Arg(25)->UseRealTime();

// The floor of a save: the conversion and one atomic replace of a file of
// `n` questions.
void EncodeAndReplace(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path = scratch().dir + "/floor.qz2";
    const std::string text = questionFileText(FileFormat::Current, scratch().table, n);
    for (auto _ : state) {
        const Conversion bytes = encodeCp932(text);
        benchmark::DoNotOptimize(fs.replaceFile(path, bytes.text));
    }
}
BENCHMARK(EncodeAndReplace)->Arg(kRows)->Arg(25)->UseRealTime();

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
        saveNew(imported, FileFormat::Current, table, kImported);
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
