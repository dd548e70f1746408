// AnsiToWide: the one place where narrow text in the system ANSI code page
// (paths, family names, list text) becomes UTF-16 for GDI+.
#include "AnsiToWide.h"

#include <cstring>
#include <vector>
#include <windows.h>

std::wstring AnsiToWide(const char* text) {
    if (!text || !*text)
        return std::wstring();
    const size_t length = std::strlen(text);
    // MultiByteToWideChar counts in int; text that long is not text we draw.
    if (length > static_cast<size_t>(INT_MAX))
        return std::wstring();
    const int narrowLength = static_cast<int>(length);
    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text, narrowLength, nullptr, 0);
    if (wideLength <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength) + 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, narrowLength, wide.data(), wideLength);
    return std::wstring(wide.data()); // up to the first NUL
}
