#include "CHistoryFile.h"
#include "../settings/CAtomicFile.h"
#include "HistoryFormat.h"
#include <windows.h>

namespace {
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is a UTF-16 unit");

std::wstring FullPathOf(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    return full;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file as a history file: false when it cannot be read or is another
// kind of file; a missing or empty file has no entries.
bool ReadHistory(const std::wstring& fullPath, size_t maxEntries, std::string& content,
                 std::vector<std::wstring>& entries) {
    CAtomicFile file(fullPath);
    if (!file.Read(static_cast<LONGLONG>(tavrel::history::kLargestFile), true) ||
        tavrel::history::KindOf(file.Content()) == tavrel::history::FileKind::Foreign)
        return false;
    content = file.Content();
    entries.clear();
    for (const std::u16string& entry : tavrel::history::ParseEntries(content, maxEntries))
        entries.emplace_back(entry.begin(), entry.end());
    return true;
}

int CompareIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, LINGUISTIC_IGNORECASE, a, aLength, b,
                             bLength, nullptr, nullptr, 0);
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
    return prefix.size() <= text.size() &&
           CompareIgnoringCase(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                               static_cast<int>(prefix.size())) == CSTR_EQUAL;
}
} // namespace

bool CHistoryFile::Open(const std::wstring& path, int count) {
    if (count < 0 || count > kMostEntries || path.empty())
        return false;
    const std::wstring full = FullPathOf(path);
    const size_t limit = count == 0 ? kDefaultEntries : static_cast<size_t>(count);
    std::string content;
    std::vector<std::wstring> read;
    if (full.empty() || IsFolder(full) || !ReadHistory(full, limit, content, read))
        return false;
    fullPath = full;
    maxEntries = limit;
    entries.swap(read);
    knownContent.swap(content);
    return true;
}

void CHistoryFile::Close() {
    fullPath.clear();
    entries.clear();
    knownContent.clear();
}

bool CHistoryFile::SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareIgnoringCase(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                               static_cast<int>(b.size())) == CSTR_EQUAL;
}

int CHistoryFile::IndexOf(const std::wstring& text) const {
    for (size_t i = 0; i < entries.size(); ++i)
        if (SameIgnoringCase(entries[i], text))
            return static_cast<int>(i);
    return -1;
}

bool CHistoryFile::TakeInChanges() {
    std::string content;
    std::vector<std::wstring> read;
    if (!ReadHistory(fullPath, maxEntries, content, read))
        return false;
    if (content != knownContent) {
        entries.swap(read);
        knownContent.swap(content);
    }
    return true;
}

bool CHistoryFile::Save() {
    std::vector<std::u16string> texts;
    texts.reserve(entries.size());
    for (const std::wstring& entry : entries)
        texts.emplace_back(entry.begin(), entry.end());
    const std::string content = tavrel::history::FormatEntries(texts);
    CAtomicFile file(fullPath);
    // Read again at once: the replace step keeps the attributes it saw.
    if (!file.Read(static_cast<LONGLONG>(tavrel::history::kLargestFile), true) ||
        tavrel::history::KindOf(file.Content()) == tavrel::history::FileKind::Foreign ||
        !file.Replace(content))
        return false;
    knownContent = content;
    return true;
}

bool CHistoryFile::Record(const std::wstring& query) {
    const std::u16string entry16 =
        tavrel::history::EntryOf(std::u16string(query.begin(), query.end()));
    if (!IsOpen() || entry16.empty())
        return false;
    const bool current = TakeInChanges();
    const std::wstring entry(entry16.begin(), entry16.end());
    const int old = IndexOf(entry);
    if (old >= 0)
        entries.erase(entries.begin() + old);
    entries.insert(entries.begin(), entry);
    if (entries.size() > maxEntries)
        entries.resize(maxEntries);
    return current && Save();
}

bool CHistoryFile::Remove(const std::wstring& text) {
    if (!IsOpen())
        return false;
    const bool current = TakeInChanges();
    const int index = IndexOf(text);
    if (index < 0)
        return false;
    entries.erase(entries.begin() + index);
    return current && Save();
}

bool CHistoryFile::Clear() {
    if (!IsOpen())
        return false;
    entries.clear();
    CAtomicFile file(fullPath);
    if (file.Read(static_cast<LONGLONG>(tavrel::history::kLargestFile), true) && !file.Exists())
        return true; // nothing was ever written
    return Save();
}

const std::wstring* CHistoryFile::Entry(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return nullptr;
    return &entries[static_cast<size_t>(index)];
}

std::vector<std::wstring> CHistoryFile::Matching(const std::wstring& prefix, size_t limit) const {
    std::vector<std::wstring> found;
    for (const std::wstring& entry : entries) {
        if (found.size() >= limit)
            break;
        if (StartsWithIgnoringCase(entry, prefix))
            found.push_back(entry);
    }
    return found;
}
