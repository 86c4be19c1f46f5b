#include <iconv.h>

#include "data/cp932_reference.h"

namespace studyhop::test {

namespace {

std::optional<std::string> convert(const char* to, const char* from, std::string in) {
    iconv_t cd = iconv_open(to, from);
    std::string out(16, '\0');
    char* i = in.data();
    size_t il = in.size();
    char* o = out.data();
    size_t ol = out.size();
    const bool ok = iconv(cd, &i, &il, &o, &ol) != static_cast<size_t>(-1) && il == 0;
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    out.resize(out.size() - ol);
    return out;
}

std::optional<char32_t> decode(std::string_view code) {
    const auto u = convert("UTF-32BE", "CP932", std::string(code));
    if (!u || u->size() != 4) {
        return std::nullopt;
    }
    char32_t cp = 0;
    for (const unsigned char c : *u) {
        cp = cp << 8 | c;
    }
    return cp;
}

std::optional<std::string> encode(char32_t cp) {
    const std::string u{static_cast<char>(cp >> 24), static_cast<char>(cp >> 16),
                        static_cast<char>(cp >> 8), static_cast<char>(cp)};
    return convert("CP932", "UTF-32BE", u);
}

}  // namespace

const Cp932Reference& cp932Reference() {
    static const Cp932Reference reference{"glibc iconv CP932", decode, encode, {}, {}, {}};
    return reference;
}

}  // namespace studyhop::test
