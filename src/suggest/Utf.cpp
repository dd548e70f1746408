// UTF-8 to UTF-16 (see Utf.h). Written against the well-formed
// byte sequences of the Unicode standard, table 3-7.
#include "Utf.h"

namespace tavrel::suggest {

namespace {
constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}
} // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // The length of the sequence and the allowed range of its second
        // byte (which excludes overlong forms, surrogates and > U+10FFFF).
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        char32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t taken = 1;
        bool good = true;
        for (; taken < length; ++taken) {
            if (i + taken >= n) {
                good = false;
                break;
            }
            const unsigned char byte = static_cast<unsigned char>(utf8[i + taken]);
            const bool inRange = taken == 1 ? (byte >= low && byte <= high) : IsContinuation(byte);
            if (!inRange) {
                good = false;
                break;
            }
            cp = (cp << 6) | (byte & 0x3F);
        }
        if (good) {
            AppendCodePoint(out, cp);
            i += length;
        } else {
            out.push_back(kReplacement);
            i += taken; // the maximal bad subpart
        }
    }
    return out;
}

} // namespace tavrel::suggest
