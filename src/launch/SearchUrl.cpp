// SearchUrl: UTF-8, percent-encoding and the placeholder, in portable C++.
#include "SearchUrl.h"

namespace SearchUrl {

const char16_t kPlaceholder[] = u"{searchTerms}";

namespace {
constexpr size_t kPlaceholderLength = sizeof(kPlaceholder) / sizeof(kPlaceholder[0]) - 1;

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~';
}

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// ASCII bytes as UTF-16 units.
std::u16string Widened(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}
} // namespace

std::string ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t high = c - 0xD800u;
            const char32_t low = text[++i] - 0xDC00u;
            AppendCodePoint(out, 0x10000 + (high << 10) + low);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendCodePoint(out, 0xFFFD);
        } else {
            AppendCodePoint(out, c);
        }
    }
    return out;
}

std::string PercentEncode(const std::string& bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

bool HasPlaceholder(const std::u16string& engineUrl) {
    return engineUrl.find(kPlaceholder) != std::u16string::npos;
}

std::u16string Build(const std::u16string& engineUrl, const std::u16string& query,
                     AppendedBytes appended, const std::string& queryInCodePage) {
    if (!HasPlaceholder(engineUrl)) {
        const std::string& bytes =
            appended == AppendedBytes::Utf8 ? ToUtf8(query) : queryInCodePage;
        return engineUrl + Widened(PercentEncode(bytes));
    }
    const std::u16string terms = Widened(PercentEncode(ToUtf8(query)));
    std::u16string url;
    url.reserve(engineUrl.size() + terms.size());
    size_t from = 0;
    for (size_t at; (at = engineUrl.find(kPlaceholder, from)) != std::u16string::npos;
         from = at + kPlaceholderLength) {
        url.append(engineUrl, from, at - from);
        url += terms;
    }
    url.append(engineUrl, from, std::u16string::npos);
    return url;
}

} // namespace SearchUrl
