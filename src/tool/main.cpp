// studyhop-tool: checks question and settings files, and moves questions
// between question files and spreadsheets or flash-card programs.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <iostream>

#include "data/file_io.h"
#include "tool/commands.h"
#include "tool/interruption.h"

namespace studyhop::tool {
namespace {

const char* const kUsage =
    "使い方: studyhop-tool コマンド [オプション] ファイル...\n"
    "\n"
    "コマンド:\n"
    "  check FILE...                問題ファイルと設定ファイルを調べ、不具合を1行ずつ表示します\n"
    "  import IN [-o OUT.qz2]       表計算ソフトのブック（.xlsx・.ods）・CSV・TSVから問題ファイルを作ります\n"
    "  export FILE [--format csv|tsv|xlsx|anki|mnemosyne] [-o OUT]\n"
    "                               問題ファイルを表計算ソフトや暗記カードソフト用に書き出します\n"
    "  merge FILE COPY              同期ソフトの競合コピー COPY にしかない問題を FILE に加えます\n"
    "\n"
    "各コマンドの説明: studyhop-tool コマンド --help\n"
    "終了コード: 0 成功、1 ファイルに不具合がある、2 使い方の誤り\n";

const char* const kCheckHelp =
    "使い方: studyhop-tool check FILE...\n"
    "\n"
    "問題ファイル（.qz2・.qzb）と設定ファイル（system.sys）を読み、不具合を\n"
    "「ファイル:行: 説明」の形で1行ずつ表示し、最後にまとめを1行表示します。\n"
    "ファイルは書き換えません。不具合があれば終了コードは1です。\n"
    "\n"
    "オプション:\n"
    "  -h, --help   この説明を表示します\n";

const char* const kImportHelp =
    "使い方: studyhop-tool import IN [-o OUT.qz2] [--force] [--split]\n"
    "\n"
    "Excel・LibreOffice Calc のブック（.xlsx・.ods、最初のシート）か、表計算ソフトで保存した\n"
    "CSV・TSV（UTF-8、BOMありでもなしでも。Shift_JISも可。タブ区切りは名前が .csv でも\n"
    "読みます。EUC-JP・ISO-2022-JP・UTF-16は名前を示して断ります）を読み、問題ファイル\n"
    "（Shift_JIS、CR LF）を書き出します。列は 問題、回答1〜回答5、正解番号、\n"
    "（出題回数、正解回数）の順です。見出しの行があればその名前で列を決め、ほかの名前の\n"
    "列（解説など）と見出しの空の列は、日付やエラー値があっても読み込みません。見出しの上の\n"
    "表題の行は読み飛ばします。回答の空のセルは「回答なし」になります。\n"
    "不具合は「IN:行:列: 説明」の形で表示し（行は表計算ソフトの行番号）、\n"
    "そのときは何も書き出しません。読み込む列の日付のセルとエラー値（#N/A など）は\n"
    "読み込めません。\n"
    "\n"
    "オプション:\n"
    "  -o, --output OUT   書き出す問題ファイル（既定: INの拡張子を .qz2 にした名前。\n"
    "                     .qzb で終わる名前なら旧形式）\n"
    "  --force            すでにあるファイルを置き換えます\n"
    "  --split            100問を超えるとき、100問ずつ OUT-1.qz2、OUT-2.qz2 ... に分けます\n"
    "  -h, --help         この説明を表示します\n";

const char* const kMergeHelp =
    "使い方: studyhop-tool merge FILE COPY\n"
    "\n"
    "同期ソフト（Syncthing、Nextcloud、Dropbox など）が作った競合コピー COPY にあって\n"
    "問題ファイル FILE にない問題を、FILE の最後に加えます（出題回数・正解回数も\n"
    "そのまま）。問題文・回答・正解番号がすべて同じ問題は同じ問題とみなし、FILE の\n"
    "ほかの問題には触れません。問題文が同じで回答か正解番号が違う問題は、どちらも\n"
    "変えずに「COPY:行: 説明」の形で表示します。問題エディターで直してください。\n"
    "100問を超えるときや、読めない・書けないときは何も書き込まず、終了コードは1です。\n"
    "COPY は書き換えも削除もしません。確かめてから削除してください。\n"
    "\n"
    "オプション:\n"
    "  -h, --help   この説明を表示します\n";

const char* const kExportHelp =
    "使い方: studyhop-tool export FILE [--format csv|tsv|xlsx|anki|mnemosyne] [-o OUT] [--force]\n"
    "\n"
    "問題ファイルを書き出します。どれも見出し行付きで、import で読み戻すと元の問題\n"
    "ファイルと同じ内容になります。\n"
    "  xlsx  Excel・LibreOffice Calc 用のブック。すべてのセルを文字列で書くので、\n"
    "        開いて編集し保存しても「007」「1/2」などが数値や日付に変わりません。\n"
    "        表計算ソフトで編集するときはこれを使ってください\n"
    "  csv   表計算ソフト用のUTF-8（BOM付き）のCSV（既定）。表計算ソフトで開くと\n"
    "        数値や日付に読まれて変わるセルがあれば、そのセルを表示します\n"
    "  tsv   同じ内容のタブ区切り（テキストエディターやほかのプログラム向け）\n"
    "  anki  Anki の「ファイルから読み込む」用のテキスト（表: 問題と番号付きの\n"
    "        回答、裏: 正解の番号と回答、タグ: ファイル名）\n"
    "  mnemosyne  Mnemosyne の「タブ区切りテキスト」読み込み用のテキスト（表: 問題と\n"
    "        番号付きの回答、裏: 正解の番号と回答）\n"
    "\n"
    "オプション:\n"
    "  --format FORMAT    csv、tsv、xlsx、anki、mnemosyne のどれか\n"
    "  -o, --output OUT   書き出すファイル（既定: FILEの拡張子を .csv・.tsv・.xlsx・.txt にした名前。\n"
    "                     - なら標準出力）\n"
    "  --force            すでにあるファイルを置き換えます\n"
    "  -h, --help         この説明を表示します\n";

int usageError(const std::string& message, const char* help) {
    std::cerr << "studyhop-tool: " << message << "\n\n" << help;
    return kExitUsage;
}

// The arguments reach the parser as Latin-1, one character per byte, so that
// bytes() gives back exactly what was typed: a file name in CP932 (or in any
// other encoding) names the same file, never one with U+FFFD in its name.
QStringList rawArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLatin1(argv[i]);
    }
    return arguments;
}

std::string bytes(const QString& argument) {
    return argument.toLatin1().toStdString();
}

int finish(int status, const Output& output) {
    std::cout << output.out << std::flush;
    std::cerr << output.err << std::flush;
    return status;
}

// Parses the arguments after the command name; false with a message printed on a usage error.
bool parse(QCommandLineParser& parser, const QStringList& arguments, const char* help,
           int& status) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption({"h", "help"}, "help");
    parser.addOption(helpOption);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        status = usageError(
            unknown.isEmpty()
                ? "オプションの書き方が正しくありません（" + bytes(parser.errorText()) + "）"
                : "知らないオプションです: " + bytes(unknown.join(", ")),
            help);
        return false;
    }
    if (parser.isSet(helpOption)) {
        std::cout << help;
        status = kExitOk;
        return false;
    }
    return true;
}

int check(const QStringList& arguments) {
    QCommandLineParser parser;
    int status = kExitOk;
    if (!parse(parser, arguments, kCheckHelp, status)) {
        return status;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        return usageError("調べるファイルを指定してください", kCheckHelp);
    }
    std::vector<std::string> names;
    for (const QString& file : files) {
        names.push_back(bytes(file));
    }
    Output output;
    FileSystem disk(".");
    return finish(runCheck(disk, names, output), output);
}

int import(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption outputOption({"o", "output"}, "output", "OUT");
    const QCommandLineOption force("force", "force");
    const QCommandLineOption split("split", "split");
    parser.addOptions({outputOption, force, split});
    int status = kExitOk;
    if (!parse(parser, arguments, kImportHelp, status)) {
        return status;
    }
    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1) {
        return usageError("読み込むブック・CSV・TSVのファイルを1つ指定してください", kImportHelp);
    }
    ImportOptions options;
    options.input = bytes(inputs.front());
    options.output = bytes(parser.value(outputOption));
    options.force = parser.isSet(force);
    options.split = parser.isSet(split);
    Output output;
    FileSystem disk(".");
    return finish(runImport(disk, options, output), output);
}

int exportFile(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption outputOption({"o", "output"}, "output", "OUT");
    const QCommandLineOption formatOption("format", "format", "FORMAT", "csv");
    const QCommandLineOption force("force", "force");
    parser.addOptions({outputOption, formatOption, force});
    int status = kExitOk;
    if (!parse(parser, arguments, kExportHelp, status)) {
        return status;
    }
    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1) {
        return usageError("書き出す問題ファイルを1つ指定してください", kExportHelp);
    }
    ExportOptions options;
    const QString format = parser.value(formatOption);
    if (format == "csv") {
        options.format = ExportFormat::Csv;
    } else if (format == "tsv") {
        options.format = ExportFormat::Tsv;
    } else if (format == "anki") {
        options.format = ExportFormat::Cards;
    } else if (format == "mnemosyne") {
        options.format = ExportFormat::Mnemosyne;
    } else if (format == "xlsx") {
        options.format = ExportFormat::Xlsx;
    } else {
        return usageError("--format は csv、tsv、xlsx、anki、mnemosyne のどれかです（" +
                              bytes(format) + "）",
                          kExportHelp);
    }
    options.input = bytes(inputs.front());
    options.output = bytes(parser.value(outputOption));
    options.force = parser.isSet(force);
    Output output;
    FileSystem disk(".");
    return finish(runExport(disk, options, output), output);
}

int merge(const QStringList& arguments) {
    QCommandLineParser parser;
    int status = kExitOk;
    if (!parse(parser, arguments, kMergeHelp, status)) {
        return status;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        return usageError("問題ファイルと競合コピーを1つずつ指定してください", kMergeHelp);
    }
    Output output;
    FileSystem disk(".");
    return finish(runMerge(disk, bytes(files.at(0)), bytes(files.at(1)), output), output);
}

int run(const QStringList& arguments) {
    if (arguments.size() < 2) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const QString command = arguments.at(1);
    // The parsers see the command name where they expect the program's.
    const QStringList rest = arguments.mid(1);
    if (command == "check") {
        return check(rest);
    }
    if (command == "import") {
        return import(rest);
    }
    if (command == "export") {
        return exportFile(rest);
    }
    if (command == "merge") {
        return merge(rest);
    }
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    std::cerr << "studyhop-tool: 知らないコマンドです: " << bytes(command) << "\n\n" << kUsage;
    return kExitUsage;
}

}  // namespace
}  // namespace studyhop::tool

int main(int argc, char* argv[]) {
    const QStringList arguments = studyhop::tool::rawArguments(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("studyhop-tool");
    studyhop::tool::removeTemporaryFileWhenInterrupted();
    return studyhop::tool::run(arguments);
}
