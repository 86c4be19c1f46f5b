#pragma once

#include <string>
#include <vector>

namespace studyhop {
class FileSystem;
}

namespace studyhop::tool {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFault = 1;  // a file has a fault, or a file could not be written
inline constexpr int kExitUsage = 2;  // wrong use of the command line

// What a command prints: `out` for standard output, `err` for standard error.
struct Output {
    std::string out;
    std::string err;
};

// Prints one line per fault of every file and a summary line; never writes.
int runCheck(FileSystem& fs, const std::vector<std::string>& files, Output& output);

struct ImportOptions {
    std::string input;
    std::string output;  // empty: the input's name with .qz2
    bool force = false;  // replace an existing file
    bool split = false;  // more than 100 questions go into numbered files
};
int runImport(FileSystem& fs, const ImportOptions& options, Output& output);

enum class ExportFormat { Csv, Tsv, Cards, Xlsx, Mnemosyne };

struct ExportOptions {
    std::string input;
    std::string output;  // empty: the input's name with .csv, .tsv, .txt or .xlsx; "-" standard output
    ExportFormat format = ExportFormat::Csv;
    bool force = false;
};
int runExport(FileSystem& fs, const ExportOptions& options, Output& output);

// Folds into `file` the questions of `copy` (a sync engine's conflict copy)
// that the file lacks, by identity and in one write; a question both hold
// in different versions (the same text, other choices or correct number) is
// listed and left as it is. On any fault nothing is written.
int runMerge(FileSystem& fs, const std::string& file, const std::string& copy, Output& output);

// "dir/a.qz2" -> "dir/a": the name without its last extension.
std::string stem(const std::string& path);

}  // namespace studyhop::tool
