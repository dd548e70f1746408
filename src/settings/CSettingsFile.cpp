#include "CSettingsFile.h"
#include "../render/AnsiToWide.h"
#include "IniValueEdit.h"
#include <memory>
#include <vector>

namespace {

CSettingsFile::ReplaceCall g_replaceCall = ::ReplaceFileW;

// A settings file beyond this is not rewritten: reading it whole into
// memory is not worth the risk for one number.
constexpr LONGLONG kLargestFile = 64LL * 1024 * 1024;
constexpr DWORD kValueBufferSize = 260;
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::wstring WidenAscii(const char* text) {
    const std::string ascii = text ? text : "";
    return std::wstring(ascii.begin(), ascii.end());
}

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
    const HANDLE handle =
        ::CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct FileState {
    bool exists = false;
    DWORD attributes = 0;
    std::string content;
};

// Reads the whole file; false when it exists but cannot be read. Others
// may keep reading and writing it meanwhile: whether they let it be
// replaced is for the replace step to find out.
bool ReadExisting(const std::wstring& path, FileState& state) {
    const FileHandle file =
        OpenFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 OPEN_EXISTING);
    if (!file)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    BY_HANDLE_FILE_INFORMATION info = {};
    LARGE_INTEGER size = {};
    if (!::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !::GetFileSizeEx(file.get(), &size) ||
        size.QuadPart > kLargestFile)
        return false;
    state.exists = true;
    state.attributes = info.dwFileAttributes;
    state.content.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return state.content.empty() ||
           (::ReadFile(file.get(), &state.content[0], static_cast<DWORD>(state.content.size()),
                       &read, nullptr) &&
            read == state.content.size());
}

std::wstring FolderOf(const std::wstring& fullPath) {
    const size_t slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : fullPath.substr(0, slash + 1);
}

// Writes the content to a new file of a unique name in the folder, flushed
// to the disk; its name, or empty when any byte did not make it.
std::wstring WriteCopyBeside(const std::wstring& fullPath, const std::string& content) {
    wchar_t copyPath[MAX_PATH] = {};
    if (!::GetTempFileNameW(FolderOf(fullPath).c_str(), L"tav", 0, copyPath))
        return std::wstring();
    bool written = false;
    {
        const FileHandle copy = OpenFile(copyPath, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
        DWORD done = 0;
        written = copy &&
                  ::WriteFile(copy.get(), content.data(), static_cast<DWORD>(content.size()), &done,
                              nullptr) &&
                  done == content.size() && ::FlushFileBuffers(copy.get());
    }
    if (written)
        return copyPath;
    ::DeleteFileW(copyPath);
    return std::wstring();
}

// The copy takes the file's place. ReplaceFileW keeps the file's security
// and, on Windows, its attributes; they are set again in case the system
// did not (Wine does not).
bool PutInPlace(const std::wstring& fullPath, const std::wstring& copyPath,
                const FileState& state) {
    if (!state.exists)
        return ::MoveFileExW(copyPath.c_str(), fullPath.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!g_replaceCall(fullPath.c_str(), copyPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr))
        return false;
    const DWORD kept = state.attributes & kKeptAttributes;
    if ((::GetFileAttributesW(fullPath.c_str()) & kKeptAttributes) != kept)
        ::SetFileAttributesW(fullPath.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
    return true;
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
    FileState state;
    if (fullPath.empty() || !ReadExisting(fullPath, state))
        return false;
    const std::string edited = SetIniValue(state.content, section, key, value);
    if (state.exists && edited == state.content)
        return true;
    const std::wstring copyPath = WriteCopyBeside(fullPath, edited);
    if (copyPath.empty())
        return false;
    if (PutInPlace(fullPath, copyPath, state))
        return true;
    ::DeleteFileW(copyPath.c_str());
    return false;
}

CSettingsFile::ReplaceCall CSettingsFile::SetReplaceCall(ReplaceCall call) {
    const ReplaceCall previous = g_replaceCall;
    g_replaceCall = call ? call : ::ReplaceFileW;
    return previous;
}
