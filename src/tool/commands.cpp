#include "tool/commands.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "data/question_change.h"
#include "data/question_file.h"
#include "data/question_merge.h"
#include "tool/check.h"
#include "tool/question_sheet.h"
#include "tool/tool_files.h"
#include "tool/workbook.h"

namespace studyhop::tool {

namespace {

constexpr int kQuestionsPerFile = 100;  // what the question editor can hold

// "in.csv:5:7: message": the row a spreadsheet shows and the field; the text
// line follows when a line break inside a cell moved it.
std::string sheetFaultLine(const std::string& file, const SheetFault& fault) {
    const int row = fault.row > 0 ? fault.row : fault.line;
    std::string where = file + ":" + std::to_string(row);
    if (fault.column > 0) {
        where += ":" + std::to_string(fault.column);
    }
    std::string line = where + ": " + fault.message;
    if (row != fault.line) {
        line += "（表の" + std::to_string(row) + "行目、テキストの" + std::to_string(fault.line) +
                "行目）";
    }
    return line + "\n";
}

// A part of an earlier split that this run did not write: OUT-3.qz2 after a
// split into two. They are named, never deleted: they may be the user's.
std::vector<std::string> partsLeftOver(const FileSystem& fs, const std::string& target,
                                       int written) {
    std::vector<std::string> left;
    const std::string base = stem(target);
    const std::string extension = target.substr(base.size());
    for (int part = written == 1 ? 1 : written + 1;; ++part) {
        const std::string name = base + "-" + std::to_string(part) + extension;
        if (!outputExists(fs, name)) {
            break;
        }
        left.push_back(name);
    }
    return left;
}

// "dir/a.qz2" -> "a"
std::string baseName(const std::string& path) {
    const std::string name = stem(path);
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// How many changed cells a warning lists before it counts the rest.
constexpr std::size_t kCellsListed = 10;

std::string existsMessage(const std::string& path) {
    return path + ": このファイルはすでにあります。置き換えるときは --force を付けてください\n";
}

// Only a regular file is ever replaced, with --force or without: a named pipe,
// device, socket or folder under the output's name refuses the command.
bool refuseNonRegularOutput(const FileSystem& fs, const std::string& path, Output& output) {
    if (path == "-") {
        return false;
    }
    const Status type = fs.checkType(path);
    if (type.ok()) {
        return false;
    }
    output.err += writeFailureLine(path, type) + "\n";
    return true;
}

}  // namespace

std::string stem(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1)) {
        return path;
    }
    return path.substr(0, dot);
}

int runCheck(FileSystem& fs, const std::vector<std::string>& files, Output& output) {
    int faults = 0;
    int faultyFiles = 0;
    for (const std::string& file : files) {
        const std::vector<Fault> found = checkFile(fs, file);
        for (const Fault& fault : found) {
            output.out += faultLine(fault) + "\n";
        }
        faults += static_cast<int>(found.size());
        faultyFiles += found.empty() ? 0 : 1;
    }
    const std::string checked = std::to_string(files.size()) + "個のファイルを調べました";
    if (faults == 0) {
        output.out += checked + "。不具合はありません\n";
        return kExitOk;
    }
    output.out += checked + "。" + std::to_string(faultyFiles) + "個のファイルに" +
                  std::to_string(faults) + "件の不具合があります\n";
    return kExitFault;
}

int runImport(FileSystem& fs, const ImportOptions& options, Output& output) {
    if (options.input == "-" && options.output.empty()) {
        output.err += "標準入力から読むときは -o で書き出すファイルを指定してください\n";
        return kExitUsage;
    }
    const std::string target =
        options.output.empty() ? stem(options.input) + ".qz2" : options.output;
    const FileFormat format = formatForName(target);
    std::string bytes;
    if (const Status read = readInput(fs, options.input, bytes); !read.ok()) {
        output.err += readFailureLine(options.input, read) + "\n";
        return kExitFault;
    }
    SheetImport sheet;
    if (isWorkbook(options.input, bytes)) {
        WorkbookRead book = readWorkbook(bytes);
        if (book.faults.empty()) {
            sheet = importRecords(book.sheet, format, book.cellFaults);
        } else {
            sheet.faults = std::move(book.faults);
        }
    } else {
        sheet = importSheet(bytes, guessSeparator(options.input, bytes), format);
    }
    std::stable_sort(sheet.faults.begin(), sheet.faults.end(),
                     [](const SheetFault& a, const SheetFault& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    for (const SheetFault& note : sheet.notes) {
        output.err += sheetFaultLine(options.input, note);
    }
    for (const SheetFault& fault : sheet.faults) {
        output.err += sheetFaultLine(options.input, fault);
    }
    if (!sheet.faults.empty()) {
        output.err += options.input + ": " + std::to_string(sheet.faults.size()) +
                      "件の不具合があるため、何も書き出しませんでした\n";
        return kExitFault;
    }
    const int total = static_cast<int>(sheet.rows.size());
    if (total == 0) {
        output.err += options.input + ": 問題が1つもありません\n";
        return kExitFault;
    }
    if (total > kQuestionsPerFile && !options.split) {
        output.err += sheetFaultLine(
            options.input,
            {sheet.lines[kQuestionsPerFile], 0,
             "問題が" + std::to_string(kQuestionsPerFile) + "問を超えています（" +
                 std::to_string(total) + "問）。--split を付けると" +
                 std::to_string(kQuestionsPerFile) + "問ずつ番号付きのファイルに分けます",
             sheet.sheetRows[kQuestionsPerFile]});
        return kExitFault;
    }
    const int files = (total + kQuestionsPerFile - 1) / kQuestionsPerFile;
    std::vector<std::string> names;
    for (int f = 0; f < files; ++f) {
        names.push_back(files == 1 ? target
                                   : stem(target) + "-" + std::to_string(f + 1) +
                                         target.substr(stem(target).size()));
    }
    for (const std::string& name : names) {
        if (refuseNonRegularOutput(fs, name, output)) {
            return kExitFault;
        }
    }
    if (!options.force) {
        bool exists = false;
        for (const std::string& name : names) {
            if (outputExists(fs, name)) {
                output.err += existsMessage(name);
                exists = true;
            }
        }
        if (exists) {
            return kExitFault;
        }
    }
    for (int f = 0; f < files; ++f) {
        const int count = std::min(kQuestionsPerFile, total - f * kQuestionsPerFile);
        // The bytes questionFileText gave for these rows, already read back.
        if (const Status written = writeQuestionBytes(fs, names[f], sheet.fileBytes.at(f), options.force);
            !written.ok()) {
            output.err += writeFailureLine(names[f], written) + "\n";
            return kExitFault;
        }
        output.out += names[f] + ": " + std::to_string(count) + "問を書き出しました\n";
    }
    if (options.split) {
        for (const std::string& name : partsLeftOver(fs, target, files)) {
            output.err += name + ": 前に分けて書き出したファイルが残っています。今回は" +
                          std::to_string(files) +
                          "個に分けたので、このファイルは今回の問題ではありません\n";
        }
    }
    return kExitOk;
}

int runExport(FileSystem& fs, const ExportOptions& options, Output& output) {
    std::string bytes;
    if (const Status read = readInput(fs, options.input, bytes); !read.ok()) {
        output.err += readFailureLine(options.input, read) + "\n";
        return kExitFault;
    }
    const FileFormat format = formatForName(options.input);
    const LoadResult loaded = parseQuestionFileAsWritten(options.input, bytes, format);
    if (!loaded.status.ok() || loaded.count != loaded.recordsRead) {
        for (const Fault& fault : checkBytes(options.input, bytes)) {
            output.err += faultLine(fault) + "\n";
        }
        output.err +=
            options.input + ": 問題ファイルとして正しく読めないため、書き出しませんでした\n";
        return kExitFault;
    }
    std::string text;
    std::string extension;
    std::string warning;
    switch (options.format) {
        case ExportFormat::Csv: {
            text = exportSheet(loaded.table, loaded.count, format, ',');
            extension = ".csv";
            const std::vector<std::string> changed =
                cellsSpreadsheetsChange(sheetCells(loaded.table, loaded.count, format));
            if (!changed.empty()) {
                warning = "注意: 表計算ソフトでこのCSVを開くと、数値・日付・式として読まれて"
                          "書き換わるセルがあります: ";
                for (std::size_t i = 0; i < changed.size() && i < kCellsListed; ++i) {
                    warning += (i > 0 ? "、" : "") + changed[i];
                }
                if (changed.size() > kCellsListed) {
                    warning += " ほか" + std::to_string(changed.size() - kCellsListed) + "個";
                }
                warning += "。表計算ソフトで編集するときは --format xlsx で書き出してください\n";
            }
            break;
        }
        case ExportFormat::Xlsx: {
            std::string error;
            const auto book =
                workbookBytes(sheetCells(loaded.table, loaded.count, format),
                              baseName(options.input), error);
            if (!book) {
                output.err += options.input + ": " + error + "\n";
                return kExitFault;
            }
            text = *book;
            extension = ".xlsx";
            break;
        }
        case ExportFormat::Tsv:
            text = exportSheet(loaded.table, loaded.count, format, '\t');
            extension = ".tsv";
            break;
        case ExportFormat::Mnemosyne:
            text = exportMnemosyneCards(loaded.table, loaded.count);
            extension = ".txt";
            break;
        case ExportFormat::Cards: {
            text = exportCards(loaded.table, loaded.count, baseName(options.input));
            extension = ".txt";
            break;
        }
    }
    const std::string target =
        options.output.empty() ? stem(options.input) + extension : options.output;
    if (refuseNonRegularOutput(fs, target, output)) {
        return kExitFault;
    }
    if (!options.force && outputExists(fs, target)) {
        output.err += existsMessage(target);
        return kExitFault;
    }
    if (const Status written = writeOutput(fs, target, text); !written.ok()) {
        output.err += writeFailureLine(target, written) + "\n";
        return kExitFault;
    }
    if (target != "-") {
        output.out += target + ": " + std::to_string(loaded.count) + "問を書き出しました\n";
    }
    if (!warning.empty()) {
        output.err += target + ": " + warning;
    }
    return kExitOk;
}

namespace {

LoadResult loadQuestions(FileSystem& fs, const std::string& path) {
    return formatForName(path) == FileFormat::Current ? loadCurrentQuestionFile(fs, path)
                                                      : loadLegacyQuestionFile(fs, path);
}

// "「text」" cut to what a terminal line holds.
std::string quoted(const Cell& text) {
    std::string t = text.asText();
    if (t.size() > 60) {
        t = t.substr(0, 57);
        while (!t.empty() && (static_cast<unsigned char>(t.back()) & 0xC0) == 0x80) {
            t.pop_back();
        }
        t.pop_back();
        t += "…";
    }
    return "「" + t + "」";
}

}  // namespace

int runMerge(FileSystem& fs, const std::string& file, const std::string& copy, Output& output) {
    if (formatForName(file) != formatForName(copy)) {
        output.err += copy + ": " + file + " と形式（.qz2・.qzb）が違うため、まとめられません\n";
        return kExitFault;
    }
    const LoadResult mine = loadQuestions(fs, file);
    // The copy's records as they are spelled, so that an added one is written
    // with the bytes it has there.
    LoadResult theirs;
    std::string copyBytes;
    theirs.status = fs.readFile(copy, copyBytes);
    if (theirs.status.ok()) {
        theirs = parseQuestionFileAsWritten(copy, copyBytes, formatForName(copy));
    }
    for (const auto& [path, loaded] :
         {std::pair{file, &mine}, std::pair{copy, static_cast<const LoadResult*>(&theirs)}}) {
        if (!loaded->status.ok()) {
            output.err += readFailureLine(path, loaded->status) + "\n";
            return kExitFault;
        }
    }
    const QuestionIndex inFile(mine.table, mine.recordsRead);
    std::vector<QuestionRow> lacked;
    std::vector<int> seen;  // per copy row: its place among the copy's twins
    for (int r = 0; r < theirs.recordsRead; ++r) {
        const QuestionRow& row = theirs.table.rows[r];
        int order = 0;
        for (int k = 0; k < r; ++k) {
            order += sameQuestion(theirs.table.rows[k], row) ? 1 : 0;
        }
        const size_t twins = inFile.twins(row).size();
        if (order < static_cast<int>(twins)) {
            continue;  // the file has it
        }
        int other = -1;
        if (twins > 0) {
            other = -2;  // one more of the twins the file has: no other version
        }
        for (int k = 0; k < mine.recordsRead && other == -1; ++k) {
            if (mine.table.rows[k][kQuestionText].asText() == row[kQuestionText].asText()) {
                other = k;
            }
        }
        if (other >= 0) {
            output.err += copy + ":" + std::to_string(theirs.recordLine[r]) + ": " +
                          quoted(row[kQuestionText]) + " は " + file + " の" +
                          std::to_string(mine.recordLine[other]) +
                          "行目と回答または正解番号が違います。どちらも変えていません\n";
            continue;
        }
        lacked.push_back(row);
    }
    if (lacked.empty()) {
        output.out += file + ": " + copy + " にしかない問題はありません。書き換えていません\n";
        return kExitOk;
    }
    const QuestionFileRead base = questionFileRead(file, formatForName(file), mine);
    QuestionFileChanger changer(fs);
    ChangeResult result = changer.apply(base, QuestionChange::addAll(lacked));
    // Another copy of the program is saving: wait for it a moment.
    for (int tries = 1; tries < 10 && result.outcome == ChangeOutcome::Busy; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        result = changer.apply(base, QuestionChange::addAll(lacked));
    }
    if (result.outcome != ChangeOutcome::Written) {
        output.err += writeFailureLine(file, result.status) + "\n";
        return kExitFault;
    }
    output.out += file + ": " + copy + " から" + std::to_string(lacked.size()) +
                  "問を加えました（" + std::to_string(result.now.count) + "問になりました）\n";
    return kExitOk;
}

}  // namespace studyhop::tool
