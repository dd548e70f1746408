// EngineUrl: the scheme of an engine URL and what it allows.
#include "EngineUrl.h"

namespace EngineUrl {

namespace {
bool IsAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsSchemeCharacter(char16_t c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

char16_t ToLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// The scheme before the first ':', lower-cased; empty when the text does
// not start with one.
std::u16string SchemeOf(const std::u16string& url) {
    if (url.empty() || !IsAsciiLetter(url[0]))
        return std::u16string();
    std::u16string scheme;
    for (size_t i = 0; i < url.size() && i <= kLongestScheme; ++i) {
        if (url[i] == u':')
            return scheme;
        if (!IsSchemeCharacter(url[i]))
            return std::u16string();
        scheme += ToLower(url[i]);
    }
    return std::u16string();
}

bool FollowedByTwoSlashes(const std::u16string& url, size_t schemeLength) {
    return url.compare(schemeLength + 1, 2, u"//") == 0;
}
} // namespace

Verdict Classify(const std::u16string& url) {
    Verdict verdict;
    verdict.scheme = SchemeOf(url);
    const std::u16string& scheme = verdict.scheme;
    if (scheme.size() < 2 || scheme == u"file")
        verdict.kind = Kind::Refused;
    else if (scheme == u"http" || scheme == u"https")
        verdict.kind = FollowedByTwoSlashes(url, scheme.size()) ? Kind::Web : Kind::Refused;
    else
        verdict.kind = Kind::RegisteredSchemeNeeded;
    return verdict;
}

} // namespace EngineUrl
