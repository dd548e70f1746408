// CHistoryFile: a bar's recent searches and the file that keeps them
// (HistoryFormat.h). Entries are newest first; two of them never match
// ignoring case, as the system compares linguistically. Every change is
// written at once, as a whole new file put in place of the old one
// (CAtomicFile); before a change the file is read again, and entries that
// another bar wrote to it meanwhile are taken in first.
#pragma once
#include <string>
#include <vector>

class CHistoryFile {
public:
    static constexpr int kDefaultEntries = 100;
    static constexpr int kMostEntries = 1000;

    // Uses the file from now on, with at most maxEntries entries (0 for
    // the default). False, and nothing changed, for a count out of range,
    // a name that cannot be used, a folder, a file that cannot be read, or
    // a non-empty file that is not a history file.
    bool Open(const std::wstring& path, int maxEntries);
    // Forgets the file and the entries; the file stays as it is.
    void Close();
    bool IsOpen() const { return !fullPath.empty(); }

    // Puts the query (as HistoryFormat's EntryOf makes it) first: an entry
    // equal to it ignoring case goes, the oldest past the limit go. False
    // for an empty entry or when the file could not be written; the entries
    // in memory hold the query either way.
    bool Record(const std::wstring& query);
    // Removes the entry equal to text ignoring case; false when none was.
    bool Remove(const std::wstring& text);
    // Forgets every entry, in memory and in the file.
    bool Clear();

    int Count() const { return static_cast<int>(entries.size()); }
    // The entry at index (0 is the newest), or null.
    const std::wstring* Entry(int index) const;
    // The newest entries that begin with prefix ignoring case, at most
    // limit of them; every entry for an empty prefix.
    std::vector<std::wstring> Matching(const std::wstring& prefix, size_t limit) const;

    // Whether two texts are equal ignoring case, as the user's locale says.
    static bool SameIgnoringCase(const std::wstring& a, const std::wstring& b);

private:
    // Reads the file again and takes its entries when someone else changed
    // it; false when it is no longer a history file or cannot be read.
    bool TakeInChanges();
    // Writes the entries; true when the file holds them.
    bool Save();
    int IndexOf(const std::wstring& text) const;

    std::wstring fullPath;
    size_t maxEntries = kDefaultEntries;
    std::vector<std::wstring> entries;
    // The file's bytes as last read or written by this object.
    std::string knownContent;
};
