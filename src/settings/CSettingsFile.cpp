#include "CSettingsFile.h"
#include "../render/AnsiToWide.h"
#include "CAtomicFile.h"
#include "IniValueEdit.h"
#include <vector>

namespace {

// A settings file beyond this is not rewritten: reading it whole into
// memory is not worth the risk for one number.
constexpr LONGLONG kLargestFile = 64LL * 1024 * 1024;
constexpr DWORD kValueBufferSize = 260;

std::wstring WidenAscii(const char* text) {
    const std::string ascii = text ? text : "";
    return std::wstring(ascii.begin(), ascii.end());
}

bool IsBareName(const std::wstring& name) {
    const bool drive = name.size() >= 2 && name[1] == L':';
    return !drive && name.find_first_of(L"\\/") == std::wstring::npos;
}

} // namespace

CSettingsFile::CSettingsFile(const std::wstring& path) : path(path) {}

std::wstring CSettingsFile::FullPath() const {
    if (path.empty() || path.size() > kLongestPath)
        return std::wstring();
    if (IsBareName(path)) {
        wchar_t windows[MAX_PATH] = {};
        const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return std::wstring();
        return std::wstring(windows, length) + L"\\" + path;
    }
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> full(needed);
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    return std::wstring(full.data(), length);
}

std::wstring CSettingsFile::Read(const char* section, const char* key) const {
    wchar_t text[kValueBufferSize] = {};
    if (!path.empty() && path.size() <= kLongestPath)
        ::GetPrivateProfileStringW(WidenAscii(section).c_str(), WidenAscii(key).c_str(), nullptr,
                                   text, kValueBufferSize, path.c_str());
    return text;
}

bool CSettingsFile::Write(const char* section, const char* key, const std::string& value) const {
    const std::wstring fullPath = FullPath();
    if (fullPath.empty())
        return false;
    CAtomicFile file(fullPath);
    if (!file.Read(kLargestFile))
        return false;
    const std::string edited = SetIniValue(file.Content(), section, key, value);
    if (file.Exists() && edited == file.Content())
        return true;
    return file.Replace(edited);
}

CSettingsFile::ReplaceCall CSettingsFile::SetReplaceCall(ReplaceCall call) {
    return CAtomicFile::SetReplaceCall(call);
}
