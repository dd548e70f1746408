// MultiByteToWideChar behind the reader's decoding seam (see SuggestionDecoder.h).
#include "SuggestionDecoder.h"

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "WCHAR is UTF-16 on Windows");

DecodeStatus DecodeWithSystemCodePage(unsigned codePage, std::string_view bytes, std::u16string& out) {
    out.clear();
    if (!::IsValidCodePage(codePage)) return DecodeStatus::UnknownCodePage;
    if (bytes.empty()) return DecodeStatus::Decoded;
    if (bytes.size() > static_cast<size_t>(INT_MAX / 2)) return DecodeStatus::InvalidBytes;
    const int length = static_cast<int>(bytes.size());
    DWORD flags = MB_ERR_INVALID_CHARS;
    int needed = ::MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (needed == 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
        flags = 0;
        needed = ::MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    }
    if (needed <= 0) return DecodeStatus::InvalidBytes;
    out.resize(static_cast<size_t>(needed));
    const int written = ::MultiByteToWideChar(codePage, flags, bytes.data(), length,
                                              reinterpret_cast<wchar_t*>(&out[0]), needed);
    if (written != needed) {
        out.clear();
        return DecodeStatus::InvalidBytes;
    }
    return DecodeStatus::Decoded;
}
