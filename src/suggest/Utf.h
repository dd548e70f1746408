// Conversions between UTF-8 and UTF-16 for the suggestion reader: pure
// functions with no Windows header, so that they build and are fuzzed natively.
#pragma once
#include <string>
#include <string_view>

namespace tavrel::suggest {

// UTF-8 to UTF-16. Every ill-formed sequence (overlong forms, encoded
// surrogates, values above U+10FFFF, cut sequences) becomes one U+FFFD per
// maximal bad subpart, as the Unicode standard recommends; never fails.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8. False, with out cleared, when the text holds an unpaired
// surrogate (no UTF-8 encodes it).
bool Utf16ToUtf8(std::u16string_view utf16, std::string& out);

} // namespace tavrel::suggest
