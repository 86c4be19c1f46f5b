#pragma once

#include <string>

namespace studyhop {

// What went wrong in a data-layer call. Each kind gets its own message, so a
// window can tell the user what happened to which file.
enum class ErrorKind {
    None,
    NotFound,        // the file does not exist
    CutShort,        // the end of the file came in the middle of a record
    TooManyRecords,  // more records than the question table has rows
    BadCountLine,    // the count line is not a whole number from 0 to 101
    Encoding,        // bytes that are not CP932, or a character CP932 lacks
    NulByte,         // a NUL byte inside a text file
    TooLarge,        // the file is larger than any question file can be
    BadValue,        // a value that is not what its place needs
    Io,              // the operating system refused a read or write
    Changed,         // the file on disk is no longer what was read
    ReadOnly,        // the file may not be written, so it is neither replaced nor deleted
    Utf8,            // the file is UTF-8 text, not CP932
    Conflict,        // the question to change was changed or removed elsewhere too
    NotRegular,      // a named pipe, device, socket or folder: never opened for reading nor replaced
    Busy,            // another copy of the program is saving the same file right now
};

// The result of a data-layer operation: ok, or an error kind with the file,
// the line (1-based, 0 when no line applies) and a detail for the message.
class Status {
public:
    Status() = default;
    static Status error(ErrorKind kind, std::string file, int line = 0, std::string detail = {});

    bool ok() const { return m_kind == ErrorKind::None; }
    ErrorKind kind() const { return m_kind; }
    const std::string& file() const { return m_file; }
    int line() const { return m_line; }
    const std::string& detail() const { return m_detail; }

    // A Japanese sentence for the user naming the file, the line and the fault.
    std::string message() const;

private:
    ErrorKind m_kind = ErrorKind::None;
    std::string m_file;
    int m_line = 0;
    std::string m_detail;
};

// A Japanese text for an errno value, for the messages of failed reads and writes.
std::string describeErrno(int error);

}  // namespace studyhop
