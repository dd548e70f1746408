// Fuzzes the UTF-8 and UTF-16 conversions: any bytes become UTF-16 without
// unpaired surrogates, so converting back always succeeds; valid UTF-8 comes
// back unchanged; and the input read as UTF-16 converts back exactly when it
// has no unpaired surrogate.
#include "FuzzCheck.h"
#include "Utf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using tavrel::suggest::Utf16ToUtf8;
using tavrel::suggest::Utf8ToUtf16;

namespace {
bool HasUnpairedSurrogate(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
            ++i;
        } else if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
            return true;
        }
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = Utf8ToUtf16(bytes);
    FUZZ_CHECK(wide.size() <= bytes.size());
    FUZZ_CHECK(!HasUnpairedSurrogate(wide));
    std::string back;
    FUZZ_CHECK(Utf16ToUtf8(wide, back));
    // Without a replacement character the input was valid UTF-8, and came back whole.
    if (wide.find(u'\uFFFD') == std::u16string::npos) FUZZ_CHECK(back == bytes);
    // Reading the result again changes nothing.
    FUZZ_CHECK(Utf8ToUtf16(back) == wide);

    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    std::string utf8;
    const bool converted = Utf16ToUtf8(units, utf8);
    FUZZ_CHECK(converted == !HasUnpairedSurrogate(units));
    if (converted) FUZZ_CHECK(Utf8ToUtf16(utf8) == units);
    return 0;
}
