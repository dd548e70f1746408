// The recent-searches file: its text format, the recording rules and the
// file's life (foreign files, two users of one file, a failed write).
#include "TestFiles.h"
#include "history/CHistoryFile.h"
#include "history/HistoryFormat.h"
#include "settings/CAtomicFile.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {
using tavrel::history::FileKind;

const std::string kHeader = "# Tavrel recent searches 1\n";

std::wstring Wide(const std::string& path) {
    return std::wstring(path.begin(), path.end());
}

std::vector<std::wstring> EntriesOf(const CHistoryFile& history) {
    std::vector<std::wstring> entries;
    for (int i = 0; i < history.Count(); ++i)
        entries.push_back(*history.Entry(i));
    return entries;
}

BOOL WINAPI FailingReplace(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

int FilesIn(const std::string& folder) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}
} // namespace

TEST(HistoryFormat, ReadsOnlyWhatIsValidAndWritesItBack) {
    EXPECT_EQ(FileKind::Empty, tavrel::history::KindOf(""));
    EXPECT_EQ(FileKind::History, tavrel::history::KindOf(kHeader));
    EXPECT_EQ(FileKind::History, tavrel::history::KindOf("\xEF\xBB\xBF# Tavrel recent searches 1\r\n"));
    EXPECT_EQ(FileKind::Foreign, tavrel::history::KindOf("[engines]\nindex=1\n"));
    EXPECT_EQ(FileKind::Foreign, tavrel::history::KindOf("# Tavrel recent searches 2\n"));
    EXPECT_TRUE(tavrel::history::ParseEntries("[engines]\nweather\n", 10).empty());
    EXPECT_TRUE(tavrel::history::ParseEntries("# Tavrel recent searches 1", 10).empty());

    const std::string tooLong(2049, 'x');
    const std::string longest(2048, 'y');
    const std::string bytes = kHeader + "weather\r\n" +
                              "bad \xC3\x28 byte\n" +     // cut sequence
                              "\xED\xA0\x80 surrogate\n" + // encoded surrogate
                              "\xC0\xAF overlong\n" + tooLong + "\n" + longest + "\n" +
                              "\n   \n  padded  \n" + "\xD0\xBC\xD0\xB8\xD1\x80\n" +
                              "\xEF\xBF\xBD kept\n" + "past the limit\n";
    const std::vector<std::u16string> entries = tavrel::history::ParseEntries(bytes, 5);
    const std::vector<std::u16string> expected = {
        u"weather", std::u16string(longest.begin(), longest.end()), u"padded", u"\u043C\u0438\u0440",
        u"\uFFFD kept"};
    EXPECT_EQ(expected, entries);
    EXPECT_EQ(4u, tavrel::history::ParseEntries(bytes, 4).size());

    EXPECT_EQ(kHeader + "weather\n\xD0\xBC\xD0\xB8\xD1\x80\n",
              tavrel::history::FormatEntries({u"weather", u"\u043C\u0438\u0440"}));
    EXPECT_EQ(u"a  b", tavrel::history::EntryOf(u"  a\r\nb\t "));
    EXPECT_EQ(u"", tavrel::history::EntryOf(u" \t "));

    // A file over the size bound is read up to it; its cut last line goes.
    std::string big = kHeader;
    while (big.size() < tavrel::history::kLargestFile - 10)
        big += "entry\n";
    big += "cut-short-entry-going-past-the-end\n";
    const std::vector<std::u16string> fromBig =
        tavrel::history::ParseEntries(big.substr(0, tavrel::history::kLargestFile), 1000000);
    ASSERT_FALSE(fromBig.empty());
    EXPECT_EQ(u"entry", fromBig.back());
}

TEST(HistoryFile, RecordsMovesTrimsRemovesAndKeepsTheFileInStep) {
    const std::string path = ScratchPath("recording.txt");
    ::DeleteFileA(path.c_str());
    CHistoryFile history;
    EXPECT_FALSE(history.Open(Wide(path), -1));
    EXPECT_FALSE(history.Open(Wide(path), 1001));
    EXPECT_FALSE(history.Open(L"", 3));
    EXPECT_FALSE(history.Open(Wide(ScratchDir()), 3)); // a folder
    EXPECT_FALSE(history.IsOpen());
    ASSERT_TRUE(history.Open(Wide(path), 3));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(path.c_str())) << "made at the first search";

    EXPECT_FALSE(history.Record(L"   "));
    EXPECT_TRUE(history.Record(L"  Weather  "));
    EXPECT_TRUE(history.Record(L"news"));
    EXPECT_TRUE(history.Record(L"\u041C\u0418\u0420")); // upper-case Cyrillic
    EXPECT_TRUE(history.Record(L"WEATHER"));            // moves to the front, new spelling
    EXPECT_TRUE(history.Record(L"\u043C\u0438\u0440 ")); // the same, lower case
    EXPECT_EQ((std::vector<std::wstring>{L"\u043C\u0438\u0440", L"WEATHER", L"news"}),
              EntriesOf(history));
    EXPECT_TRUE(history.Record(L"maps")); // the oldest goes past three
    EXPECT_EQ((std::vector<std::wstring>{L"maps", L"\u043C\u0438\u0440", L"WEATHER"}),
              EntriesOf(history));
    EXPECT_EQ(kHeader + "maps\n\xD0\xBC\xD0\xB8\xD1\x80\nWEATHER\n", ReadFileBytes(path));

    EXPECT_EQ((std::vector<std::wstring>{L"maps"}), history.Matching(L"MA", 3));
    EXPECT_EQ((std::vector<std::wstring>{L"\u043C\u0438\u0440"}), history.Matching(L"\u041C\u0418", 3));
    EXPECT_EQ(1u, history.Matching(L"", 1).size());
    EXPECT_TRUE(history.Matching(L"mapsx", 3).empty());

    EXPECT_FALSE(history.Remove(L"nothing"));
    EXPECT_TRUE(history.Remove(L"weather"));
    EXPECT_EQ(kHeader + "maps\n\xD0\xBC\xD0\xB8\xD1\x80\n", ReadFileBytes(path));

    // Read again by a new object, as after a restart.
    CHistoryFile restarted;
    ASSERT_TRUE(restarted.Open(Wide(path), 0));
    EXPECT_EQ(EntriesOf(history), EntriesOf(restarted));

    EXPECT_TRUE(history.Clear());
    EXPECT_EQ(0, history.Count());
    EXPECT_EQ(kHeader, ReadFileBytes(path));
    history.Close();
    EXPECT_FALSE(history.Record(L"after close"));
    EXPECT_EQ(kHeader, ReadFileBytes(path));
}

TEST(HistoryFile, RefusesForeignFilesSharesOneFileAndSurvivesAFailedWrite) {
    const std::string foreign = WriteFileBytes("foreign.ini", "[engines]\nindex=1\n");
    CHistoryFile history;
    EXPECT_FALSE(history.Open(Wide(foreign), 10));
    EXPECT_EQ("[engines]\nindex=1\n", ReadFileBytes(foreign));
    const std::string empty = WriteFileBytes("empty.txt", "");
    EXPECT_TRUE(history.Open(Wide(empty), 10));
    EXPECT_TRUE(history.Record(L"first"));
    EXPECT_EQ(kHeader + "first\n", ReadFileBytes(empty));

    // Someone else overwrites the file with their own text: never written.
    WriteFileBytes("empty.txt", "not ours\n");
    EXPECT_FALSE(history.Record(L"second"));
    EXPECT_EQ("not ours\n", ReadFileBytes(empty));

    // Two users of one file, searching in turn, keep each other's entries.
    const std::string shared = WriteFileBytes("shared.txt", kHeader + "old\n");
    CHistoryFile one;
    CHistoryFile two;
    ASSERT_TRUE(one.Open(Wide(shared), 10));
    ASSERT_TRUE(two.Open(Wide(shared), 10));
    EXPECT_TRUE(one.Record(L"from one"));
    EXPECT_TRUE(two.Record(L"from two"));
    EXPECT_TRUE(one.Record(L"again one"));
    EXPECT_EQ(kHeader + "again one\nfrom two\nfrom one\nold\n", ReadFileBytes(shared));
    EXPECT_TRUE(two.Remove(L"FROM ONE"));
    EXPECT_TRUE(one.Record(L"old"));
    EXPECT_EQ(kHeader + "old\nagain one\nfrom two\n", ReadFileBytes(shared));

    // The swap fails (a full disk): the old file stays, no copy is left
    // behind, and the entry is still offered from memory.
    const int filesBefore = FilesIn(ScratchDir());
    CAtomicFile::SetReplaceCall(FailingReplace);
    EXPECT_FALSE(one.Record(L"lost on disk"));
    CAtomicFile::SetReplaceCall(nullptr);
    EXPECT_EQ(kHeader + "old\nagain one\nfrom two\n", ReadFileBytes(shared));
    EXPECT_EQ(filesBefore, FilesIn(ScratchDir()));
    EXPECT_EQ(L"lost on disk", *one.Entry(0));
}
