#include "tool/check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

#include "data/cp932.h"
#include "data/field_reader.h"
#include "data/file_io.h"
#include "data/file_name.h"
#include "data/question_file.h"
#include "data/settings_file.h"
#include "data/text_check.h"
#include "data/text_encoding.h"
#include "tool/encoding_detector.h"
#include "tool/read_back.h"
#include "tool/tool_files.h"

namespace studyhop::tool {

namespace {

constexpr int kEditorLimit = 100;

int lineAt(std::string_view bytes, std::size_t offset) {
    offset = std::min(offset, bytes.size());
    return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

std::string baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

class Checker {
public:
    Checker(std::string name, std::string_view bytes) : m_name(std::move(name)), m_bytes(bytes) {}

    std::vector<Fault> run(bool settings) {
        if (checkEncoding()) {
            checkLineEnds();
            if (settings) {
                checkSettings();
            } else {
                checkQuestions();
            }
        }
        std::stable_sort(m_faults.begin(), m_faults.end(),
                         [](const Fault& a, const Fault& b) { return a.line < b.line; });
        return std::move(m_faults);
    }

private:
    void add(int line, std::string message) {
        m_faults.push_back({m_name, line, std::move(message)});
    }

    // False when the bytes cannot be read as CP932 text at all.
    bool checkEncoding() {
        if (const std::size_t nul = m_bytes.find('\0'); nul != std::string_view::npos) {
            add(lineAt(m_bytes, nul), "NUL文字があります（テキストファイルではありません）");
            return false;
        }
        if (m_bytes.starts_with(kUtf8Bom)) {
            add(1, std::string("UTF-8のBOMで始まっています。") + kUtf8ImportHint);
            return false;
        }
        if (looksLikeUtf8Text(m_bytes)) {
            add(firstWideUtf8Line(), std::string("Shift_JIS（CP932）ではなく") + kUtf8ImportHint);
            return false;
        }
        switch (detectEncoding(m_bytes).encoding) {
            case TextEncoding::EucJp:
                add(1, "Shift_JIS（CP932）ではなくEUC-JPのテキストです");
                return false;
            case TextEncoding::Iso2022Jp:
                add(1, "Shift_JIS（CP932）ではなくISO-2022-JP（JIS）のテキストです");
                return false;
            default:
                break;
        }
        const Conversion decoded = decodeCp932(m_bytes);
        if (!decoded.ok) {
            add(lineAt(m_bytes, decoded.offset),
                "Shift_JIS（CP932）として読めないバイトがあります（" + hexAt(decoded.offset) +
                    "）");
            return false;
        }
        return true;
    }

    int firstWideUtf8Line() const {
        for (std::size_t i = 0; i < m_bytes.size(); ++i) {
            if ((static_cast<unsigned char>(m_bytes[i]) & 0xE0) >= 0xE0) {
                return lineAt(m_bytes, i);
            }
        }
        return 1;
    }

    std::string hexAt(std::size_t offset) const {
        static const char* digits = "0123456789ABCDEF";
        std::string out;
        for (std::size_t i = offset; i < std::min(m_bytes.size(), offset + 2); ++i) {
            const auto b = static_cast<unsigned char>(m_bytes[i]);
            out += out.empty() ? "0x" : " 0x";
            out += digits[b >> 4];
            out += digits[b & 15];
        }
        return out;
    }

    void checkLineEnds() {
        for (std::size_t i = 0; i < m_bytes.size(); ++i) {
            const char c = m_bytes[i];
            const bool crlf = c == '\r' && i + 1 < m_bytes.size() && m_bytes[i + 1] == '\n';
            if (crlf) {
                ++i;
            } else if (c == '\r' || c == '\n') {
                add(lineAt(m_bytes, i),
                    c == '\n' ? "行末がCR LFではなくLFだけです" : "行末がCR LFではなくCRだけです");
                break;
            }
        }
        const std::size_t last = m_bytes.find_last_not_of(" \t\r\n");
        if (last == std::string_view::npos) {
            return;
        }
        const std::string_view tail = m_bytes.substr(last + 1);
        const std::size_t end = tail.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            add(lineAt(m_bytes, last), "最後の行に改行がありません");
            return;
        }
        const std::size_t after = tail.substr(end).starts_with("\r\n") ? end + 2 : end + 1;
        if (after < tail.size()) {
            add(lineAt(m_bytes, last) + 1, "最後の問題のあとに空行があります");
        }
    }

    // The first line's text, for messages about the count line.
    std::string firstLineText() const {
        const std::string_view line = m_bytes.substr(0, m_bytes.find_first_of("\r\n"));
        const Conversion decoded = decodeCp932(line);
        return decoded.ok ? decoded.text : std::string();
    }

    void checkQuestions() {
        const FileFormat format = formatForName(m_name);
        const LoadResult loaded = format == FileFormat::Current
                                      ? parseCurrentQuestionFile(m_name, m_bytes)
                                      : parseLegacyQuestionFile(m_name, m_bytes);
        reportLoadStatus(loaded);
        if (format == FileFormat::Current && loaded.status.ok() &&
            loaded.count != loaded.recordsRead) {
            add(1, "1行目の問題数 " + std::to_string(loaded.count) + " と問題の数 " +
                       std::to_string(loaded.recordsRead) + " が合いません");
        }
        const int questions =
            std::max(format == FileFormat::Current ? loaded.count : 0, loaded.recordsRead);
        if (questions > kEditorLimit) {
            const int line =
                loaded.recordsRead > kEditorLimit ? loaded.recordLine[kEditorLimit] : 1;
            add(line, "問題が" + std::to_string(kEditorLimit) + "問を超えています（" +
                          std::to_string(questions) + "問）。問題エディタで扱えるのは" +
                          std::to_string(kEditorLimit) + "問までです");
        }
        for (int r = 0; r < loaded.recordsRead; ++r) {
            checkRow(loaded.table.rows[r], r, loaded.recordLine[r], format);
        }
        const int columns = format == FileFormat::Current ? kColumns : kCorrectNumber + 1;
        for (const ReadBackDifference& d :
             readBackDifferences(loaded.table, loaded.recordsRead, columns, format)) {
            add(loaded.recordLine[d.row], std::to_string(d.row + 1) + "問目の" +
                                              columnTitle(d.column) + "「" +
                                              loaded.table.rows[d.row][d.column].asText() +
                                              "」は保存し直すと「" + d.readBack + "」と読まれます");
        }
    }

    void reportLoadStatus(const LoadResult& loaded) {
        const Status& status = loaded.status;
        const int recordsRead = loaded.recordsRead;
        switch (status.kind()) {
            case ErrorKind::None:
                return;
            case ErrorKind::BadCountLine:
                add(1, "1行目の問題数「" + firstLineText() + "」が0〜101の整数ではありません");
                return;
            case ErrorKind::CutShort:
                // The line on which the unfinished record begins.
                add(recordsRead < kRows ? loaded.recordLine[recordsRead] : status.line(),
                    std::to_string(recordsRead + 1) +
                        "問目が途中で終わっています（項目が足りないか、引用符"
                        "（\"）が閉じられていません）");
                return;
            case ErrorKind::TooManyRecords:
                add(status.line(),
                    "問題が101問を超えています（問題ファイルに入るのは101問までです）");
                return;
            case ErrorKind::TooLarge:
                add(status.line(), "1つの項目が長すぎます");
                return;
            default:
                add(status.line(), status.message());
                return;
        }
    }

    void checkRow(const QuestionRow& row, int r, int line, FileFormat format) {
        const std::string number = std::to_string(r + 1) + "問目の";
        if (row[kQuestionText].asText().empty()) {
            add(line, number + "問題文が空です");
        }
        bool anyChoice = false;
        for (int k = 1; k <= 5; ++k) {
            anyChoice = anyChoice || !(row[k].isEmpty() || row[k].equalsText(kNoChoice));
        }
        if (!anyChoice) {
            add(line, number + "回答が1つもありません（すべて空か「ﾅｼ」です）");
        }
        const Cell& correct = row[kCorrectNumber];
        const auto value = correct.numericValue();
        if (correct.isEmpty()) {
            add(line, number + "正解番号がありません");
        } else if (!value || *value < 1 || *value > 5 || *value != std::floor(*value)) {
            add(line, number + "正解番号 " + correct.asText() + " は 1〜5 の範囲外です");
        } else {
            const Cell& chosen = row[static_cast<int>(*value)];
            if (chosen.isEmpty() || chosen.equalsText(kNoChoice)) {
                add(line, number + "正解番号 " + correct.asText() + " の回答が空です");
            }
        }
        if (format == FileFormat::Current) {
            checkCounters(row, line, number);
        }
        // A quoted field may hold what the program cannot write back (a line
        // break, a tab): import refuses it, and so does check.
        const int columns = format == FileFormat::Current ? kColumns : kCorrectNumber + 1;
        for (int c = 0; c < columns; ++c) {
            if (const auto bad = row[c].isText() ? findUnstorable({row[c].asText()}) : std::nullopt) {
                add(line, number + columnTitle(c) + ": " + unstorableMessage(bad->character));
            }
        }
    }

    void checkCounters(const QuestionRow& row, int line, const std::string& number) {
        std::optional<double> counts[2];
        for (int i = 0; i < 2; ++i) {
            const Cell& cell = row[kTimesAsked + i];
            const auto v = cell.numericValue();
            if (v && *v >= 0 && *v == std::floor(*v)) {
                counts[i] = *v;
            } else {
                add(line, number + columnTitle(kTimesAsked + i) + "「" + cell.asText() +
                              "」が0以上の整数ではありません");
            }
        }
        if (counts[0] && counts[1] && *counts[1] > *counts[0]) {
            add(line, number + "正解回数 " + row[kTimesCorrect].asText() + " が出題回数 " +
                          row[kTimesAsked].asText() + " を超えています");
        }
    }

    static std::string columnTitle(int column) {
        static const char* const titles[kColumns] = {
            "問題文", "回答1",    "回答2",    "回答3",    "回答4",
            "回答5",  "正解番号", "出題回数", "正解回数", "予備",
        };
        return titles[column];
    }

    void checkSettings() {
        FieldReader reader(m_bytes);
        Cell fields[5];
        int lines[5] = {};
        int count = 0;
        while (!reader.atEndOfRecords()) {
            if (count == 4) {
                add(reader.line(), "設定の項目が多すぎます（4つまでです）");
                return;
            }
            lines[count] = reader.line();
            if (reader.read(fields[count]) != FieldReader::Result::Ok) {
                add(reader.line(),
                    "設定が途中で終わっています（引用符（\"）が閉じられていません）");
                return;
            }
            ++count;
        }
        if (count < 2) {
            add(std::max(1, reader.line() - 1),
                count == 0 ? "設定がありません"
                           : "設定の項目が1つしかありません（出題順がありません）");
            return;
        }
        checkSetting(fields[0], lines[0], 9, "出題範囲");
        checkSetting(fields[1], lines[1], 1, "出題順");
    }

    void checkSetting(const Cell& cell, int line, int highest, const std::string& what) {
        const auto v = cell.numericValue();
        if (cell.isEmpty() || !v || *v < 0 || *v > highest || *v != std::floor(*v)) {
            add(line, what + "「" + cell.asText() + "」が0〜" + std::to_string(highest) +
                          "の整数ではありません");
        }
    }

    std::string m_name;
    std::string_view m_bytes;
    std::vector<Fault> m_faults;
};

}  // namespace

std::string faultLine(const Fault& fault) {
    if (fault.line <= 0) {
        return fault.file + ": " + fault.message;
    }
    return fault.file + ":" + std::to_string(fault.line) + ": " + fault.message;
}

bool isSettingsName(std::string_view path) {
    std::string name = baseName(path);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == kSettingsReadName;
}

std::vector<Fault> checkBytes(const std::string& name, std::string_view bytes) {
    return Checker(name, bytes).run(isSettingsName(name));
}

namespace {

std::string readFailure(const Status& status) {
    switch (status.kind()) {
        case ErrorKind::NotFound:
            return "ファイルが見つかりません";
        case ErrorKind::TooLarge:
            return "大きすぎるので読みません（16MiBまで）";
        case ErrorKind::NotRegular:
            return "通常のファイルではないので読みません（" + status.detail() + "）";
        default:
            return "読めません（" + status.detail() + "）";
    }
}

}  // namespace

std::string readFailureLine(const std::string& path, const Status& status) {
    return faultLine({path, 0, readFailure(status)});
}

std::string writeFailureLine(const std::string& path, const Status& status) {
    if (status.kind() == ErrorKind::NotRegular) {
        return faultLine({path, 0, "通常のファイルではないので置き換えません（" + status.detail() +
                                       "）。そのままです"});
    }
    const std::string detail = status.detail().empty() ? "" : "（" + status.detail() + "）";
    return faultLine({path, 0, "書き込めませんでした" + detail + "。元のファイルはそのままです"});
}

namespace {

// A sync engine's conflict copy beside the file, or the file being one: the
// questions of one of them may be missing from the other.
std::vector<Fault> conflictCopyFaults(const FileSystem& fs, const std::string& path) {
    std::vector<Fault> faults;
    if (const std::optional<ConflictCopy> copy = conflictCopy(path)) {
        faults.push_back({path, 0, "同期ソフトが作った「" + displayFileName(copy->original).text +
                                       "」の競合コピーです"});
        return faults;
    }
    const std::string resolved = fs.resolve(path);
    const size_t slash = resolved.rfind('/');
    const FileSystem folder(slash == std::string::npos ? "." : resolved.substr(0, slash + 1));
    const std::string name = baseName(path);
    // Named the way the file was, so that the name can be given to the tool.
    const std::string given = path.substr(0, path.size() - name.size());
    std::vector<std::string> copies = conflictCopiesOf(name, folder.list());
    std::sort(copies.begin(), copies.end());
    for (const std::string& c : copies) {
        faults.push_back({path, 0, "同期ソフトが作った競合コピー「" + displayFileName(given + c).text +
                                       "」があります"});
    }
    return faults;
}

}  // namespace

std::vector<Fault> checkFile(FileSystem& fs, const std::string& path) {
    std::string bytes;
    const Status read = readInput(fs, path, bytes);
    if (!read.ok()) {
        return {{path, 0, readFailure(read)}};
    }
    std::vector<Fault> faults = checkBytes(path, bytes);
    if (!isSettingsName(path) && path != "-") {
        for (Fault& f : conflictCopyFaults(fs, path)) {
            faults.push_back(std::move(f));
        }
    }
    return faults;
}

}  // namespace studyhop::tool
