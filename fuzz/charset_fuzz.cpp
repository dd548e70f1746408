// Fuzzes the Content-Type and charset functions: the charset found is short,
// trimmed and in lower case, and every content type names a code page.
#include "Charset.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view contentType(reinterpret_cast<const char*>(data), size);
    const std::string charset = CharsetFromContentType(contentType);
    FUZZ_CHECK(charset.size() <= 64);
    if (!charset.empty()) {
        FUZZ_CHECK(charset.front() != ' ' && charset.front() != '\t');
        FUZZ_CHECK(charset.back() != ' ' && charset.back() != '\t');
    }
    for (const char c : charset) FUZZ_CHECK(c < 'A' || c > 'Z');
    const unsigned fromCharset = CodePageFromCharset(charset);
    const unsigned fromContentType = CodePageFromContentType(contentType);
    FUZZ_CHECK(fromContentType != 0);
    FUZZ_CHECK(fromContentType == (fromCharset ? fromCharset : kCodePageUtf8));
    // The table ignores ASCII case and surrounding blanks.
    std::string upper = " " + charset + "\t";
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    FUZZ_CHECK(CodePageFromCharset(upper) == fromCharset);
    // And the raw input as a charset name never reads past it.
    CodePageFromCharset(contentType);
    return 0;
}
