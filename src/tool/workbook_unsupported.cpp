// Built instead of workbook.cpp when the workbook libraries (libxlsxwriter,
// minizip, expat) were not found: every workbook is refused with the reason.
#include "tool/workbook.h"

namespace studyhop::tool {

namespace {
const char* const kMissing =
    "この studyhop-tool は xlsx に対応せずに作られています（libxlsxwriter・minizip・expat が"
    "ありませんでした）";
}  // namespace

bool isWorkbook(std::string_view name, std::string_view bytes) {
    return name.ends_with(".xlsx") || bytes.starts_with("PK\x03\x04");
}

bool workbooksSupported() {
    return false;
}

WorkbookRead readWorkbook(std::string_view, const WorkbookLimits&) {
    WorkbookRead result;
    result.faults.push_back({1, 0, kMissing});
    return result;
}

std::optional<std::string> workbookBytes(const std::vector<std::vector<std::string>>&,
                                         const std::string&, std::string& error) {
    error = kMissing;
    return std::nullopt;
}

}  // namespace studyhop::tool
