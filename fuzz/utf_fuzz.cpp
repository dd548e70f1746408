// Fuzzes the UTF conversions, Utf8ToUtf16 and SearchUrl::ToUtf8: any bytes
// become UTF-16 without unpaired surrogates; valid UTF-8 comes back
// unchanged; and any UTF-16 survives the way back and forth, unpaired
// surrogates becoming U+FFFD.
#include "FuzzCheck.h"
#include "SearchUrl.h"
#include "Utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using tavrel::suggest::Utf8ToUtf16;

namespace {
bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// text with each unpaired surrogate replaced by U+FFFD.
std::u16string Paired(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            out += text[i];
            out += text[++i];
        } else {
            out += IsHigh(text[i]) || IsLow(text[i]) ? u'\uFFFD' : text[i];
        }
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = Utf8ToUtf16(bytes);
    FUZZ_CHECK(wide.size() <= bytes.size());
    FUZZ_CHECK(Paired(wide) == wide);
    const std::string back = SearchUrl::ToUtf8(wide);
    // Without a replacement character the input was valid UTF-8, and came back whole.
    if (wide.find(u'\uFFFD') == std::u16string::npos) FUZZ_CHECK(back == bytes);
    FUZZ_CHECK(Utf8ToUtf16(back) == wide);

    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    FUZZ_CHECK(Utf8ToUtf16(SearchUrl::ToUtf8(units)) == Paired(units));
    return 0;
}
