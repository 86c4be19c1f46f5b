// Prints, for each file given, what uchardet answers on its bytes and what
// studyhop-tool's detector decides, so that what the detector is built on
// (docs/reliability.md) can be tried on any sheet:
//   build/tools/encoding_probe FILE...
#include <uchardet/uchardet.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>

#include "tool/encoding_detector.h"

namespace {

std::string uchardetAnswer(const std::string& bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), &uchardet_delete);
    uchardet_handle_data(detector.get(), bytes.data(), bytes.size());
    uchardet_data_end(detector.get());
    return uchardet_get_charset(detector.get());
}

const char* name(studyhop::tool::Detection detected) {
    using studyhop::tool::TextEncoding;
    switch (detected.encoding) {
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Cp932:
            return detected.eucJpToo ? "CP932 (EUC-JP too)" : "CP932";
        case TextEncoding::EucJp:
            return "EUC-JP";
        case TextEncoding::Iso2022Jp:
            return "ISO-2022-JP";
        case TextEncoding::Utf16:
            return "UTF-16";
        case TextEncoding::Unknown:
            break;
    }
    return "unknown";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        std::cout << argv[i] << "\t" << bytes.size() << " bytes\tuchardet: "
                  << (uchardetAnswer(bytes).empty() ? "(none)" : uchardetAnswer(bytes))
                  << "\tstudyhop-tool: " << name(studyhop::tool::detectEncoding(bytes)) << "\n";
    }
    return 0;
}
