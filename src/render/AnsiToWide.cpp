// AnsiToWide and WideToAnsi: the one place where narrow text in the system
// ANSI code page (what the slots and the narrow C functions carry) becomes
// the bar's UTF-16, and where the bar's UTF-16 goes back to a narrow caller.
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

std::string WideToAnsi(const std::wstring& text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX))
        return std::string();
    const int wideLength = static_cast<int>(text.size());
    const int narrowLength =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, &narrow[0], narrowLength, nullptr,
                          nullptr);
    return narrow;
}

std::wstring AnsiBytesToWide(const std::string& text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX))
        return std::wstring();
    const int narrowLength = static_cast<int>(text.size());
    const int wideLength =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), narrowLength, nullptr, 0);
    if (wideLength <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), narrowLength, &wide[0], wideLength);
    return wide;
}
