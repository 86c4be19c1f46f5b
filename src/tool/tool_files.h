#pragma once

#include <string>
#include <string_view>

#include "data/file_io.h"
#include "data/question_file.h"
#include "data/status.h"

namespace studyhop::tool {

// Every file the tool touches goes through these few calls, so that the way
// the program reaches the disk is decided in one place.

// Reads a whole input file; "-" reads standard input.
Status readInput(FileSystem& fs, const std::string& path, std::string& bytes);
bool outputExists(const FileSystem& fs, const std::string& path);
// Writes the CP932 bytes of a whole new question file (from
// questionFileText) under the lock every change of a question file takes
// (see rewriteFile); a file there is replaced only with `replace`, even one
// that appeared after the caller looked.
Status writeQuestionBytes(FileSystem& fs, const std::string& path, std::string_view bytes,
                          bool replace);
// Replaces a text file atomically with `bytes`; "-" writes standard output.
Status writeOutput(FileSystem& fs, const std::string& path, std::string_view bytes);

}  // namespace studyhop::tool
