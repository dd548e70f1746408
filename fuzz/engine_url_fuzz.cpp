// Fuzzes the engine-URL check, EngineUrl::Classify. Input: the URL as
// UTF-16LE pairs. A URL is taken as a web address only when it starts with
// http:// or https:// in any case; any other kind it is not refused as is
// a scheme of two or more scheme characters before the first ':', never
// file; the verdict does not depend on the scheme's case.
#include "EngineUrl.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

char16_t Upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool StartsWithNoCase(const std::u16string& text, const std::u16string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

bool IsSchemeCharacter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string url;
    for (size_t i = 0; i + 1 < size; i += 2)
        url += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    const EngineUrl::Verdict verdict = EngineUrl::Classify(url);
    const bool web = StartsWithNoCase(url, u"http://") || StartsWithNoCase(url, u"https://");
    FUZZ_CHECK((verdict.kind == EngineUrl::Kind::Web) == web);
    if (verdict.kind != EngineUrl::Kind::Refused) {
        const std::u16string& scheme = verdict.scheme;
        FUZZ_CHECK(scheme.size() >= 2 && scheme.size() <= EngineUrl::kLongestScheme);
        FUZZ_CHECK(url.size() > scheme.size() && url[scheme.size()] == u':');
        FUZZ_CHECK(scheme[0] >= u'a' && scheme[0] <= u'z');
        for (size_t i = 0; i < scheme.size(); ++i) {
            FUZZ_CHECK(IsSchemeCharacter(scheme[i]));
            FUZZ_CHECK(Lower(url[i]) == scheme[i]);
        }
        FUZZ_CHECK(scheme != u"file");
    }
    // Upper-casing the scheme's letters changes nothing.
    std::u16string upper = url;
    const size_t colon = url.find(u':');
    for (size_t i = 0; colon != std::u16string::npos && i < colon; ++i) upper[i] = Upper(url[i]);
    const EngineUrl::Verdict again = EngineUrl::Classify(upper);
    FUZZ_CHECK(again.kind == verdict.kind && again.scheme == verdict.scheme);
    return 0;
}
