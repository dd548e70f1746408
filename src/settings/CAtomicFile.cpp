#include "CAtomicFile.h"
#include <memory>
#include <utility>

namespace {

CAtomicFile::ReplaceCall g_replaceCall = ::ReplaceFileW;

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
    const HANDLE handle =
        ::CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
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

} // namespace

CAtomicFile::CAtomicFile(std::wstring fullPath) : path(std::move(fullPath)) {}

// Others may keep reading and writing the file meanwhile: whether they let
// it be replaced is for the replace step to find out.
bool CAtomicFile::Read(LONGLONG maxBytes, bool cutAtMax) {
    exists = false;
    attributes = 0;
    content.clear();
    const FileHandle file =
        OpenFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 OPEN_EXISTING);
    if (!file)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    BY_HANDLE_FILE_INFORMATION info = {};
    LARGE_INTEGER size = {};
    if (!::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !::GetFileSizeEx(file.get(), &size) ||
        (size.QuadPart > maxBytes && !cutAtMax))
        return false;
    exists = true;
    attributes = info.dwFileAttributes;
    content.resize(static_cast<size_t>(size.QuadPart < maxBytes ? size.QuadPart : maxBytes));
    DWORD read = 0;
    if (content.empty() ||
        (::ReadFile(file.get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr) &&
         read == content.size()))
        return true;
    content.clear();
    return false;
}

// ReplaceFileW keeps the file's security and, on Windows, its attributes;
// they are set again in case the system did not (Wine does not).
bool CAtomicFile::Replace(const std::string& newContent) const {
    const std::wstring copyPath = WriteCopyBeside(path, newContent);
    if (copyPath.empty())
        return false;
    bool placed = false;
    if (!exists) {
        placed = ::MoveFileExW(copyPath.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    } else if (g_replaceCall(path.c_str(), copyPath.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        placed = true;
        const DWORD kept = attributes & kKeptAttributes;
        if ((::GetFileAttributesW(path.c_str()) & kKeptAttributes) != kept)
            ::SetFileAttributesW(path.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    if (!placed)
        ::DeleteFileW(copyPath.c_str());
    return placed;
}

CAtomicFile::ReplaceCall CAtomicFile::SetReplaceCall(ReplaceCall call) {
    const ReplaceCall previous = g_replaceCall;
    g_replaceCall = call ? call : ::ReplaceFileW;
    return previous;
}
