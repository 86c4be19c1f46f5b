// Writes src/data/cp932_table.inc from glibc's iconv CP932, the conversion the
// Linux build used before it had a table of its own: scripts/make-cp932-table.
// The output is the decoding of every single- and double-byte code, and the
// codes that characters encode to where that is not the first code decoding
// to them (duplicates, and the Unicode twins stored as their CP932 look-alikes).
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::string convert(const char* to, const char* from, const std::string& in, bool& ok) {
    iconv_t cd = iconv_open(to, from);
    std::string out(in.size() * 4 + 16, '\0');
    char* i = const_cast<char*>(in.data());
    size_t il = in.size();
    char* o = out.data();
    size_t ol = out.size();
    ok = iconv(cd, &i, &il, &o, &ol) != static_cast<size_t>(-1) && il == 0;
    ok = ok && iconv(cd, nullptr, nullptr, &o, &ol) != static_cast<size_t>(-1);
    out.resize(out.size() - ol);
    iconv_close(cd);
    return out;
}

// The code point of one UTF-32BE character.
std::uint32_t codePoint(const std::string& utf32) {
    std::uint32_t cp = 0;
    for (unsigned char c : utf32) {
        cp = cp << 8 | c;
    }
    return cp;
}

bool isLead(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

int main() {
    std::vector<std::uint16_t> single(256, 0);
    std::vector<bool> singleValid(256, false);
    for (int b = 0; b < 256; ++b) {
        if (isLead(b)) {
            continue;
        }
        bool ok = false;
        const std::string u = convert("UTF-32BE", "CP932", std::string(1, static_cast<char>(b)), ok);
        if (ok && u.size() == 4) {
            single[b] = static_cast<std::uint16_t>(codePoint(u));
            singleValid[b] = true;
        }
    }
    // Double-byte codes: 60 lead bytes, trail bytes 0x40-0xFC.
    std::vector<int> leads;
    for (int b = 0x81; b <= 0xFC; ++b) {
        if (isLead(b)) {
            leads.push_back(b);
        }
    }
    std::vector<std::uint16_t> twoByte(leads.size() * 189, 0);
    std::map<std::uint32_t, std::uint16_t> firstCode;  // code point -> first code decoding to it
    for (int b = 0; b < 256; ++b) {
        if (singleValid[b]) {
            firstCode.emplace(single[b], static_cast<std::uint16_t>(b));
        }
    }
    for (size_t l = 0; l < leads.size(); ++l) {
        for (int t = 0x40; t <= 0xFC; ++t) {
            bool ok = false;
            const std::string in{static_cast<char>(leads[l]), static_cast<char>(t)};
            const std::string u = convert("UTF-32BE", "CP932", in, ok);
            if (ok && u.size() == 4) {
                const std::uint32_t cp = codePoint(u);
                if (cp == 0 || cp > 0xFFFF) {
                    std::fprintf(stderr, "unexpected code point U+%X\n", cp);
                    return 1;
                }
                twoByte[l * 189 + (t - 0x40)] = static_cast<std::uint16_t>(cp);
                firstCode.emplace(cp, static_cast<std::uint16_t>(leads[l] << 8 | t));
            }
        }
    }
    // Every character of the BMP: where iconv's code is not the first one.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> overrides;
    for (std::uint32_t cp = 0; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        const std::string u{static_cast<char>(0), static_cast<char>(0), static_cast<char>(cp >> 8),
                            static_cast<char>(cp & 0xFF)};
        bool ok = false;
        const std::string bytes = convert("CP932", "UTF-32BE", u, ok);
        const auto first = firstCode.find(cp);
        if (!ok) {
            if (first != firstCode.end()) {
                std::fprintf(stderr, "U+%04X decodes but does not encode\n", cp);
                return 1;
            }
            continue;
        }
        std::uint16_t code = 0;
        if (bytes.size() == 1) {
            code = static_cast<unsigned char>(bytes[0]);
        } else if (bytes.size() == 2) {
            code = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                              static_cast<unsigned char>(bytes[1]));
        } else {
            std::fprintf(stderr, "U+%04X encodes to %zu bytes\n", cp, bytes.size());
            return 1;
        }
        if (first == firstCode.end() || first->second != code) {
            overrides.emplace_back(static_cast<std::uint16_t>(cp), code);
        }
    }
    std::printf("// Made by scripts/make-cp932-table from glibc's iconv CP932; do not edit.\n");
    std::printf("// Single bytes: the code point, or 0xFFFF for a byte that is no character.\n");
    std::printf("constexpr std::uint16_t kSingleByte[256] = {\n");
    for (int b = 0; b < 256; ++b) {
        std::printf("%s0x%04X,%s", b % 8 == 0 ? "    " : " ",
                    singleValid[b] ? single[b] : 0xFFFF, b % 8 == 7 ? "\n" : "");
    }
    std::printf("};\n");
    std::printf("// Double bytes, lead bytes 0x81-0x9F and 0xE0-0xFC in turn, trail bytes\n"
                "// 0x40-0xFC: the code point, or 0 for a code that is no character.\n");
    std::printf("constexpr std::uint16_t kDoubleByte[%zu] = {\n", twoByte.size());
    for (size_t i = 0; i < twoByte.size(); ++i) {
        std::printf("%s0x%04X,%s", i % 10 == 0 ? "    " : " ", twoByte[i],
                    i % 10 == 9 || i + 1 == twoByte.size() ? "\n" : "");
    }
    std::printf("};\n");
    std::printf("// Characters whose code is not the first code that decodes to them.\n");
    std::printf("constexpr std::uint16_t kEncodeOverrides[%zu][2] = {\n", overrides.size());
    for (size_t i = 0; i < overrides.size(); ++i) {
        std::printf("%s{0x%04X, 0x%04X},%s", i % 5 == 0 ? "    " : " ", overrides[i].first,
                    overrides[i].second, i % 5 == 4 || i + 1 == overrides.size() ? "\n" : "");
    }
    std::printf("};\n");
    return 0;
}
