#include "data/status.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "data/file_name.h"

namespace studyhop {

Status Status::error(ErrorKind kind, std::string file, int line, std::string detail) {
    Status s;
    s.m_kind = kind;
    s.m_file = std::move(file);
    s.m_line = line;
    s.m_detail = std::move(detail);
    return s;
}

std::string Status::message() const {
    std::string what;
    switch (m_kind) {
        case ErrorKind::None:
            return {};
        case ErrorKind::NotFound:
            what = "ファイルが見つかりません。";
            break;
        case ErrorKind::CutShort:
            what = "問題データが途中で終わっています。";
            break;
        case ErrorKind::TooManyRecords:
            what = "問題が101問を超えています。";
            break;
        case ErrorKind::BadCountLine:
            what = "1行目の問題数が0から101の整数ではありません。";
            break;
        case ErrorKind::Encoding:
            what = "Shift_JISとして読み書きできない文字があります。";
            break;
        case ErrorKind::NulByte:
            what = "テキストファイルではありません（NUL文字があります）。";
            break;
        case ErrorKind::TooLarge:
            what = "ファイルが大きすぎます。";
            break;
        case ErrorKind::BadValue:
            what = "数値であるべき項目に数値以外の値があります。";
            break;
        case ErrorKind::Io:
            what = "ファイルの読み書きに失敗しました。";
            break;
        case ErrorKind::Changed:
            what = "読み込んだ後にファイルが変わっています。";
            break;
        case ErrorKind::ReadOnly:
            what = "読み取り専用のファイルなので、書き換えも削除もしません。";
            break;
        case ErrorKind::Busy:
            what = "このプログラムの別の画面またはほかのコピーが、同じファイルを保存しているところです。";
            break;
        case ErrorKind::Conflict:
            what = "この問題は、読み込んだ後にほかで変更または削除されています。";
            break;
        case ErrorKind::Utf8:
            what =
                "UTF-8で書かれたファイルです。このプログラムはShift_JIS（CP932）のファイルだけを"
                "読み書きします。変換してから開いてください（例：studyhop-tool import "
                "元のファイル -o 新しいファイル.qz2）。";
            break;
        case ErrorKind::NotRegular:
            // The detail names the kind of file inside the sentence.
            return "ファイル名 ：" + displayFileName(m_file).text + "\r\n通常のファイルではありません（" +
                   m_detail + "）。読むことも書き込むこともしません。";
    }
    // A name in CP932 bytes is named as it reads, not as raw bytes.
    std::string text = "ファイル名 ：" + displayFileName(m_file).text + "\r\n";
    if (m_line > 0) {
        text += std::to_string(m_line) + "行目：";
    }
    text += what;
    if (!m_detail.empty()) {
        text += "（" + m_detail + "）";
    }
    return text;
}

std::string describeErrno(int error) {
    switch (error) {
        case ENOSPC:
#ifdef EDQUOT  // not on Windows
        case EDQUOT:
#endif
            return "ディスクの空き容量が足りません";
        case EACCES:
        case EPERM:
            return "アクセス権がありません";
        case EROFS:
            return "読み取り専用の場所です";
        case ENOENT:
            return "ファイルまたはフォルダがありません";
        case EISDIR:
            return "同じ名前のフォルダがあります";
        case EFBIG:
            return "ファイルが大きすぎます";
        case EIO:
            return "入出力エラー";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます";
        default:
            return std::strerror(error);
    }
}

}  // namespace studyhop
