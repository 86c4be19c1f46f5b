#include "tool/encoding_detector.h"

#include <memory>
#include <string>
#include <type_traits>

#ifdef STUDYHOP_HAVE_UCHARDET
#include <uchardet/uchardet.h>
#endif

#include "data/cp932.h"
#include "data/text_encoding.h"

namespace studyhop::tool {

namespace {

// Half-width katakana in CP932, one byte each.
constexpr unsigned char kSoundMark = 0xDE;      // ﾞ
constexpr unsigned char kHalfSoundMark = 0xDF;  // ﾟ

bool isHalfWidthKana(unsigned char b) {
    return b >= 0xA6 && b <= 0xDF;  // ｦ to ﾟ
}

bool oneOf(unsigned char b, std::string_view set) {
    return set.find(static_cast<char>(b)) != std::string_view::npos;
}

// ﾞ follows ｳ, ｶ-ﾄ and ﾊ-ﾎ; ﾟ follows ﾊ-ﾎ.
bool takesSoundMark(unsigned char b) {
    return b == 0xB3 || (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE);
}

bool takesHalfSoundMark(unsigned char b) {
    return b >= 0xCA && b <= 0xCE;
}

// ｧｨｩｪｫ follow ｲｳｷｸｼｽﾁﾂﾃﾄﾆﾇﾋﾌﾐﾘ (ｲｪ, ｳｨ, ﾃｨ, ﾌｧ ...) or a sound mark.
constexpr std::string_view kBeforeSmallVowel =
    "\xB2\xB3\xB7\xB8\xBC\xBD\xC1\xC2\xC3\xC4\xC6\xC7\xCB\xCC\xD0\xD8\xDE\xDF";
// ｬｭｮ follow ｷｼﾁﾆﾋﾐﾘ, ﾃ and ﾌ (ﾃｭ, ﾌｭ) or a sound mark.
constexpr std::string_view kBeforeSmallY = "\xB7\xBC\xC1\xC6\xCB\xD0\xD8\xC3\xCC\xDE\xDF";

// `bytes` are valid CP932 and valid EUC-JP: how they read as CP932.
struct Cp932Reading {
    bool upperKanji = false;  // a double-byte character of lead byte 0xE0 or above
    bool brokenKana = false;  // half-width katakana that no word is written with
};

Cp932Reading readAsCp932(std::string_view bytes) {
    Cp932Reading reading;
    unsigned char previous = 0;  // the half-width katakana before, or 0
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x81 && (b <= 0x9F || b >= 0xE0)) {
            reading.upperKanji = reading.upperKanji || b >= 0xE0;
            ++i;
            previous = 0;
            continue;
        }
        if (isHalfWidthKana(b)) {
            const bool broken = (b == kSoundMark && !takesSoundMark(previous)) ||
                                (b == kHalfSoundMark && !takesHalfSoundMark(previous)) ||
                                (b >= 0xA7 && b <= 0xAB && !oneOf(previous, kBeforeSmallVowel)) ||
                                (b >= 0xAC && b <= 0xAE && !oneOf(previous, kBeforeSmallY));
            reading.brokenKana = reading.brokenKana || broken;
        }
        previous = isHalfWidthKana(b) ? b : 0;
    }
    return reading;
}

// `bytes` are valid EUC-JP: whether they hold a character of rows 1 to 5
// (Japanese punctuation, hiragana, katakana).
bool eucJpKana(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            continue;
        }
        if (b >= 0xA1 && b <= 0xA5) {
            return true;
        }
        i += b == 0x8F ? 2 : 1;
    }
    return false;
}

bool uchardetNamesEucJp(std::string_view bytes) {
#ifdef STUDYHOP_HAVE_UCHARDET
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), &uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
        return false;
    }
    uchardet_data_end(detector.get());
    return std::string_view(uchardet_get_charset(detector.get())) == "EUC-JP";
#else
    (void)bytes;
    return false;
#endif
}

bool isAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

Detection detectEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return {TextEncoding::Utf16};
    }
    if (looksLikeUtf8Text(bytes)) {
        return {TextEncoding::Utf8};
    }
    if (isIso2022Jp(bytes)) {
        return {TextEncoding::Iso2022Jp};
    }
    const bool cp932 = decodeCp932(bytes).ok;
    const bool eucJp = isValidEucJp(bytes);
    if (cp932 != eucJp) {
        return {cp932 ? TextEncoding::Cp932 : TextEncoding::EucJp};
    }
    if (!cp932) {
        return {isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Unknown};
    }
    if (isAscii(bytes)) {
        return {TextEncoding::Cp932};
    }
    const Cp932Reading reading = readAsCp932(bytes);
    if (reading.upperKanji || reading.brokenKana || eucJpKana(bytes) || uchardetNamesEucJp(bytes)) {
        return {TextEncoding::EucJp};
    }
    return {TextEncoding::Cp932, true};
}

}  // namespace studyhop::tool
