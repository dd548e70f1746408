// UTF-8 to UTF-16 for the suggestion reader: a pure function with no Windows
// header, so that it builds and is fuzzed natively. (The other way is
// SearchUrl::ToUtf8.)
#pragma once
#include <string>
#include <string_view>

namespace tavrel::suggest {

// UTF-8 to UTF-16. Every ill-formed sequence (overlong forms, encoded
// surrogates, values above U+10FFFF, cut sequences) becomes one U+FFFD per
// maximal bad subpart, as the Unicode standard recommends; never fails.
std::u16string Utf8ToUtf16(std::string_view utf8);

} // namespace tavrel::suggest
