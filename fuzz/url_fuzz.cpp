// Fuzzes the search-URL builder, SearchUrl::Build. Input: one byte choosing
// how an appended query is written, the engine URL up to the first newline
// (UTF-8), then the query (UTF-16LE pairs; the same bytes stand for its
// code-page form). Appended, the query is the engine URL followed by exactly
// its bytes, percent-encoded; in a template every placeholder is replaced by
// the query's UTF-8, percent-encoded; either way what was added is ASCII.
#include "FuzzCheck.h"
#include "SearchUrl.h"
#include "Utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {
bool IsUnreserved(char16_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1; // lower case is not written
}

// Decodes percent-encoded text, checking that it is well formed.
std::string Decoded(const std::u16string& encoded) {
    std::string bytes;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%') {
            FUZZ_CHECK(i + 2 < encoded.size());
            const int high = HexValue(encoded[i + 1]), low = HexValue(encoded[i + 2]);
            FUZZ_CHECK(high >= 0 && low >= 0);
            const char byte = static_cast<char>(high * 16 + low);
            FUZZ_CHECK(!IsUnreserved(static_cast<unsigned char>(byte)));
            bytes += byte;
            i += 2;
        } else {
            FUZZ_CHECK(IsUnreserved(encoded[i]));
            bytes += static_cast<char>(encoded[i]);
        }
    }
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const auto appended = data[0] & 1 ? SearchUrl::AppendedBytes::Utf8 : SearchUrl::AppendedBytes::CodePage;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t newline = rest.find('\n');
    const std::u16string engine = tavrel::suggest::Utf8ToUtf16(rest.substr(0, newline));
    const std::string queryBytes(newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1));
    std::u16string query;
    for (size_t i = 0; i + 1 < queryBytes.size(); i += 2)
        query.push_back(static_cast<char16_t>(static_cast<unsigned char>(queryBytes[i]) |
                                              static_cast<unsigned char>(queryBytes[i + 1]) << 8));

    const std::u16string url = SearchUrl::Build(engine, query, appended, queryBytes);
    if (!SearchUrl::HasPlaceholder(engine)) {
        FUZZ_CHECK(url.compare(0, engine.size(), engine) == 0);
        const std::string expected =
            appended == SearchUrl::AppendedBytes::Utf8 ? SearchUrl::ToUtf8(query) : queryBytes;
        FUZZ_CHECK(Decoded(url.substr(engine.size())) == expected);
        return 0;
    }
    // Each placeholder gives way to the query's UTF-8, encoded; nothing else
    // changes, so an ASCII engine URL gives an ASCII URL.
    const std::string utf8 = SearchUrl::ToUtf8(query);
    std::u16string terms;
    for (const char c : SearchUrl::PercentEncode(utf8)) terms += static_cast<unsigned char>(c);
    FUZZ_CHECK(Decoded(terms) == utf8);
    const std::u16string placeholder = SearchUrl::kPlaceholder;
    size_t count = 0;
    for (size_t at = engine.find(placeholder); at != std::u16string::npos; at = engine.find(placeholder, at + placeholder.size()))
        ++count;
    FUZZ_CHECK(url.size() == engine.size() - count * placeholder.size() + count * terms.size());
    bool asciiEngine = true;
    for (const char16_t c : engine) asciiEngine = asciiEngine && c < 0x80;
    if (asciiEngine)
        for (const char16_t c : url) FUZZ_CHECK(c < 0x80);
    return 0;
}
