// The program's CP932 table against the system's own conversion, for every
// code and every character of the BMP.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "data/cp932.h"
#include "data/cp932_reference.h"

namespace studyhop {
namespace {

std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

std::string hex(std::string_view bytes) {
    std::string s;
    char b[4];
    for (const unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X", c);
        s += b;
    }
    return s;
}

// Every single byte and every pair of a lead byte with any second byte.
std::vector<std::string> everyCode() {
    std::vector<std::string> codes;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead) {
            codes.push_back(std::string(1, static_cast<char>(b)));
            continue;
        }
        for (int t = 0x00; t <= 0xFF; ++t) {
            codes.push_back(std::string{static_cast<char>(b), static_cast<char>(t)});
        }
    }
    return codes;
}

TEST(Cp932TableTest, EveryCodeDecodesAsTheSystemDecodesIt) {
    const test::Cp932Reference& reference = test::cp932Reference();
    int decoded = 0;
    for (const std::string& code : everyCode()) {
        const auto expected = reference.decode(code);
        const Conversion ours = decodeCp932(code);
        const bool refusedHere = std::find(reference.refusedCodes.begin(),
                                           reference.refusedCodes.end(),
                                           code) != reference.refusedCodes.end();
        if (refusedHere) {
            EXPECT_FALSE(ours.ok) << hex(code);
            continue;
        }
        ASSERT_EQ(ours.ok, expected.has_value()) << reference.name << " " << hex(code);
        if (expected) {
            EXPECT_EQ(ours.text, utf8Of(*expected)) << reference.name << " " << hex(code);
            ++decoded;
        } else {
            EXPECT_EQ(ours.offset, 0u) << hex(code);
        }
    }
    // 63 half-width katakana and the double-byte characters of CP932.
    EXPECT_GT(decoded, 7000) << reference.name;
}

TEST(Cp932TableTest, EveryCharacterEncodesAsTheSystemEncodesIt) {
    const test::Cp932Reference& reference = test::cp932Reference();
    int encoded = 0;
    for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        const auto expected = reference.encode(cp);
        const Conversion ours = encodeCp932(utf8Of(cp));
        const bool ourTwin = std::find(reference.encodedHere.begin(), reference.encodedHere.end(),
                                       cp) != reference.encodedHere.end();
        if (ourTwin) {
            EXPECT_FALSE(expected.has_value()) << "U+" << std::hex << static_cast<unsigned>(cp);
            EXPECT_TRUE(ours.ok) << "U+" << std::hex << static_cast<unsigned>(cp);
            continue;
        }
        if (std::find(reference.refusedHere.begin(), reference.refusedHere.end(), cp) !=
            reference.refusedHere.end()) {
            EXPECT_FALSE(ours.ok) << "U+" << std::hex << static_cast<unsigned>(cp);
            continue;
        }
        ASSERT_EQ(ours.ok, expected.has_value()) << reference.name << " U+" << std::hex << static_cast<unsigned>(cp);
        if (expected) {
            EXPECT_EQ(hex(ours.text), hex(*expected)) << reference.name << " U+" << std::hex << static_cast<unsigned>(cp);
            ++encoded;
        } else {
            EXPECT_EQ(ours.character, utf8Of(cp));
        }
    }
    EXPECT_GT(encoded, 7000) << reference.name;
}

}  // namespace
}  // namespace studyhop
