// The bar's writes to the settings file: atomic, and nothing but the Index
// value changes. A write that cannot be made (the replace step fails, the
// file is held open without sharing) leaves the file byte for byte and the
// bar keeps the user's choice; a successful one keeps the file's encoding,
// line ends and every other byte, and reads back through the system's
// profile functions. Engines are chosen by clicks on the real engine list.
#include "../../src/popup/CEngineList.h"
#include "../../src/settings/CSettingsFile.h"
#include "../../src/settings/IniValueEdit.h"
#include "Input.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

const std::vector<EngineSpec> kEngines = {{"Zero", "http://zero.test/?q="},
                                          {"One", "http://one.test/?q="},
                                          {"Two", "http://two.test/?q="},
                                          {"Three", "http://three.test/?q="}};

const std::string kHostText = "; written by the host\r\n"
                              "[Window]\r\nLeft=10\r\n"
                              "[Select]\r\nBefore=kept\r\nIndex=1\r\nAfter=kept too\r\n"
                              "[History]\r\nLast=caf\xE9\r\n";

BOOL WINAPI FailingReplace(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Every entry of the file as the profile functions read it ("section|key=value"),
// [Select] Index left out.
std::vector<std::wstring> ProfileEntriesBesideIndex(const std::string& path) {
    const std::wstring file = Wide(path);
    std::vector<wchar_t> names(65536), section(65536);
    ::GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()), file.c_str());
    std::vector<std::wstring> entries;
    for (const wchar_t* name = names.data(); *name; name += wcslen(name) + 1) {
        ::GetPrivateProfileSectionW(name, section.data(), static_cast<DWORD>(section.size()),
                                    file.c_str());
        for (const wchar_t* entry = section.data(); *entry; entry += wcslen(entry) + 1) {
            const bool index = _wcsicmp(name, L"Select") == 0 &&
                               _wcsnicmp(entry, L"Index", 5) == 0 &&
                               (entry[5] == L'=' || entry[5] == L'\0');
            if (!index)
                entries.push_back(std::wstring(name) + L"|" + entry);
        }
    }
    return entries;
}

std::wstring ProfileIndex(const std::string& path) {
    wchar_t text[64] = {};
    ::GetPrivateProfileStringW(L"Select", L"Index", L"<absent>", text, 64, Wide(path).c_str());
    return text;
}

FILETIME LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Files the writes may have left beside the settings files.
int LeftoverCopies() {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(ScratchPath("tav*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}

class SettingsWrite : public ::testing::Test {
protected:
    void SetUp() override {
        ParkPointer();
        bar = MakeSkinnedBar(host.hwnd(), 100, 100, kEngines);
        ASSERT_NE(nullptr, bar);
    }
    void TearDown() override {
        CSettingsFile::SetReplaceCall(nullptr);
        if (!previousFolder.empty())
            ::SetCurrentDirectoryA(previousFolder.c_str());
        delete bar;
    }

    // Makes the scratch folder current until the test ends.
    void WorkInScratchFolder() {
        char current[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, current);
        previousFolder = current;
        ASSERT_TRUE(::SetCurrentDirectoryA(ScratchDir().c_str()));
    }

    CTavrel* face() const { return bar; }

    // Opens the engine list with a click on the engine icon and clicks the
    // row; true once the host heard of the choice.
    bool ChooseByClick(int row) {
        const int chosen = host.Count(UM_ENGINE_CHOSEN);
        const RECT& icon = bar->engineHitRect;
        POINT at = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
        ::ClientToScreen(bar->m_hWnd, &at);
        WaitDoubleClickTime();
        ClickAt(at.x, at.y);
        HWND list = bar->engineList->m_hWnd;
        if (!PumpUntil([&] { return ::IsWindowVisible(list) != FALSE; }))
            return false;
        PumpUntilIdle(); // painted, so its rows can be hit
        RECT window = {};
        ::GetWindowRect(list, &window);
        const RECT rowRect = bar->engineList->RowRect(row);
        ClickAt(window.left + 50, window.top + (rowRect.top + rowRect.bottom) / 2);
        return PumpUntil([&] { return host.Count(UM_ENGINE_CHOSEN) > chosen; });
    }

    void ExpectEngine(int index) {
        EXPECT_EQ(index, face()->GetEngineIndex());
        EXPECT_EQ(kEngines[static_cast<size_t>(index)].name, face()->GetEngineName());
        EXPECT_EQ(kEngines[static_cast<size_t>(index)].urlPrefix, face()->GetEngineUrl());
    }

    SuggestingHost host;
    CSearchBar* bar = nullptr;
    std::string previousFolder;
};

} // namespace

TEST_F(SettingsWrite, FailedWriteLeavesTheFileWholeAndTheChoiceInTheBar) {
    const std::string path = WriteFileBytes("failing-write.ini", kHostText);
    face()->SetSettingsFile(path.c_str());
    ExpectEngine(1);

    // The replace step fails, as on a full disk.
    CSettingsFile::SetReplaceCall(FailingReplace);
    ASSERT_TRUE(ChooseByClick(3));
    EXPECT_EQ(kHostText, ReadFileBytes(path));
    ExpectEngine(3);
    EXPECT_EQ(0, LeftoverCopies());
    CSettingsFile::SetReplaceCall(nullptr);

    // Held open by another without any sharing.
    HANDLE holder =
        ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    ASSERT_TRUE(ChooseByClick(2));
    ::CloseHandle(holder);
    EXPECT_EQ(kHostText, ReadFileBytes(path));
    ExpectEngine(2);
    EXPECT_EQ(0, LeftoverCopies());

    // Free again: the choice is written and read back, as always.
    ASSERT_TRUE(ChooseByClick(0));
    EXPECT_EQ(L"0", ProfileIndex(path));
    ExpectEngine(0);
    EXPECT_EQ(0, LeftoverCopies());
}

TEST_F(SettingsWrite, ChoiceChangesOnlyTheIndexValueInEachEncoding) {
    struct Case {
        const char* name;
        std::string before;      // as the host left it
        std::string afterChoice; // after engine 2 is chosen
    };
    const auto utf16le = [](const char* ascii) {
        std::string bytes = "\xFF\xFE";
        for (const char* p = ascii; *p; ++p)
            bytes += std::string(1, *p) + '\0';
        return bytes;
    };
    const auto utf16be = [](const char* ascii) {
        std::string bytes = "\xFE\xFF";
        for (const char* p = ascii; *p; ++p)
            bytes += std::string(1, '\0') + *p;
        return bytes;
    };
    const Case cases[] = {
        {"UTF-16LE, Index present",
         utf16le("; c\r\n[Window]\r\nLeft=1\r\n[Select]\r\nIndex=1\r\nA=b\r\n"),
         utf16le("; c\r\n[Window]\r\nLeft=1\r\n[Select]\r\nIndex=2\r\nA=b\r\n")},
        {"UTF-16BE, blanks and case", utf16be("[ select ]\r\n  INDEX = 3 \r\n"),
         utf16be("[ select ]\r\n  INDEX = 2 \r\n")},
        // Index absent: the bar writes 0 into the section, then the choice.
        {"UTF-8 BOM, LF, Index absent",
         "\xEF\xBB\xBF[Select]\nName=\xC3\xA9t\xC3\xA9\n\n[Other]\nIndex=9\n",
         "\xEF\xBB\xBF[Select]\nName=\xC3\xA9t\xC3\xA9\nIndex=2\n\n[Other]\nIndex=9\n"},
        {"ANSI, CRLF, section absent, no last line end",
         "; host\r\n[Window]\r\nTitle=caf\xE9\r\nTop=20",
         "; host\r\n[Window]\r\nTitle=caf\xE9\r\nTop=20\r\n[Select]\r\nIndex=2\r\n"},
        {"ANSI, LF, comments and later sections",
         "[Select]\n; the host's note\nIndex=1\n[Select]\nIndex=3\n",
         "[Select]\n; the host's note\nIndex=2\n[Select]\nIndex=3\n"},
        {"no file yet", "", "[Select]\r\nIndex=2\r\n"},
    };
    // The edit alone, on files the profile functions read in their own
    // way: they read the new value, and every other entry as before.
    const std::string odd[] = {
        "[Select]\rIndex=3\rA=1\r",                // CR lines
        "x=1\r\n[Select]\rA=1\r",                  // CR lines after CRLF lines
        "[Select]\nA=x\rIndex=3\n",                // a lone CR ends a line too
        "[Select] tail\r\nIndex=3\x1A\r\n",        // text after ']', 0x1A as a blank
        "[Select]x]\r\nIndex=3\r\n",               // the last ']' ends the name
        "[Select\r\nIndex=3\r\n",                  // no ']': not a section
        "[Select]\r\nIndex\r\nA=1\r\n",            // a key without '='
        "[Select]\r\nIndex='3'\r\n",               // quotes around the value
        "[Select]\r\nA=1\r\n;c\r\n\r\n[B]\r\nx=1", // after the comment, before the blank
    };
    int n = 0;
    for (const std::string& content : odd) {
        SCOPED_TRACE(content);
        const std::string name = "odd-" + std::to_string(n++);
        const std::string before = WriteFileBytes(name + "-before.ini", content);
        const std::string after =
            WriteFileBytes(name + "-after.ini", SetIniValue(content, "Select", "Index", "5"));
        EXPECT_EQ(L"5", ProfileIndex(after));
        EXPECT_EQ(ProfileEntriesBesideIndex(before), ProfileEntriesBesideIndex(after));
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = ScratchPath("encoding-" + std::to_string(n++) + ".ini");
        ::DeleteFileA(path.c_str());
        // The host's file is hidden; the new one keeps that.
        if (!c.before.empty()) {
            WriteFileBytes(path.substr(ScratchDir().size() + 1), c.before);
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
        }
        const std::vector<std::wstring> entries =
            c.before.empty() ? std::vector<std::wstring>() : ProfileEntriesBesideIndex(path);
        face()->SetSettingsFile(path.c_str());
        ASSERT_TRUE(ChooseByClick(2));
        EXPECT_EQ(c.afterChoice, ReadFileBytes(path));
        if (!c.before.empty()) {
            EXPECT_NE(0u, ::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        }
        EXPECT_EQ(L"2", ProfileIndex(path));
        EXPECT_EQ(entries, ProfileEntriesBesideIndex(path));
        ExpectEngine(2);
    }

    // A value already right is not written: same bytes, same write time.
    const std::string path = WriteFileBytes("already-right.ini", kHostText);
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    const FILETIME longAgo = {0x5A6B7000, 0x01C0F9A5}; // a day in 2001
    ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &longAgo));
    ::CloseHandle(file);
    face()->SetSettingsFile(path.c_str());
    ASSERT_TRUE(ChooseByClick(1));
    EXPECT_EQ(kHostText, ReadFileBytes(path));
    const FILETIME written = LastWriteTime(path);
    EXPECT_EQ(0, ::CompareFileTime(&longAgo, &written));
    ExpectEngine(1);
    EXPECT_EQ(0, LeftoverCopies());
}

TEST_F(SettingsWrite, NamesLeadWhereTheProfileFunctionsLeadThem) {
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring inWindows = std::wstring(windows) + L"\\tavrel-bare-name.ini";
    ::DeleteFileW(inWindows.c_str());
    const std::string folder = ScratchPath("relative");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string relative = folder + "\\x.ini";
    ::DeleteFileA(relative.c_str());
    WorkInScratchFolder();
    ::DeleteFileA("tavrel-bare-name.ini");

    // A bare name lies in the Windows folder, never in the current one.
    face()->SetSettingsFile("tavrel-bare-name.ini");
    ASSERT_TRUE(ChooseByClick(3));
    ExpectEngine(3);
    EXPECT_EQ("[Select]\r\nIndex=3\r\n",
              ReadFileBytes(std::string(inWindows.begin(), inWindows.end())));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA("tavrel-bare-name.ini"));

    // A name with a folder goes from the current folder.
    face()->SetSettingsFile("relative\\x.ini");
    ASSERT_TRUE(ChooseByClick(2));
    ExpectEngine(2);
    EXPECT_EQ("[Select]\r\nIndex=2\r\n", ReadFileBytes(relative));

    ::DeleteFileW(inWindows.c_str());
}
