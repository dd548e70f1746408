// The settings file at its worst: odd [Select] Index values, a folder that
// does not exist, a file that cannot be written, a folder in the file's
// place, a file full of garbage. The bar always ends with a registered
// engine current (or, with none registered, the default), reports the
// index that engine has, and leaves every other line of the file as it was.
#include "../../src/popup/CEngineList.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

const std::vector<EngineSpec> kEngines = {{"Zero", "http://zero.test/?q="},
                                          {"One", "http://one.test/?q="},
                                          {"Two", "http://two.test/?q="},
                                          {"Three", "http://three.test/?q="}};

// Lines of text, without line ends and without empty lines.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// Every line but [Select]'s Index, in order.
std::vector<std::string> LinesBesideIndex(const std::string& text) {
    std::vector<std::string> kept;
    for (const std::string& line : Lines(text))
        if (line.compare(0, 6, "Index=") != 0)
            kept.push_back(line);
    return kept;
}

std::string IndexLineOf(const std::string& text) {
    for (const std::string& line : Lines(text))
        if (line.compare(0, 6, "Index=") == 0)
            return line;
    return "";
}

// A settings file as hosts leave them: comments, other sections and keys
// around the one the bar owns.
std::string SettingsText(const std::string& indexValue) {
    return "; written by the host\r\n"
           "[Window]\r\nLeft=10\r\nTop=20\r\n"
           "[Select]\r\nBefore=kept\r\nIndex=" +
           indexValue +
           "\r\nAfter=kept too\r\n"
           "[History]\r\nLast=caf\xE9\r\n";
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        bar = MakeSkinnedBar(host.hwnd(), 100, 100, kEngines);
        ASSERT_NE(nullptr, bar);
    }
    void TearDown() override { delete bar; }

    CTavrel* face() const { return bar; }

    // The current engine is the registered engine at the reported index.
    void ExpectConsistentEngine() {
        const int index = face()->GetEngineIndex();
        ASSERT_GE(index, 0);
        ASSERT_LT(index, static_cast<int>(kEngines.size()));
        EXPECT_EQ(kEngines[static_cast<size_t>(index)].name, face()->GetEngineName());
        EXPECT_EQ(kEngines[static_cast<size_t>(index)].urlPrefix, face()->GetEngineUrl());
    }

    SuggestingHost host;
    CSearchBar* bar = nullptr;
};

} // namespace

TEST_F(SettingsFile, IndexValuesTakeTheirEngineOrFallBackToTheFirst) {
    struct Case {
        const char* stored;
        int engine;
        const char* storedAfter; // the Index line afterwards
    };
    const Case cases[] = {
        {"", 0, "Index=0"},
        {"-1", 0, "Index=0"},
        {"99999999999", 0, "Index=0"},
        {"-99999999999", 0, "Index=0"},
        {"4", 0, "Index=0"}, // one past the last engine
        {"abc", 0, "Index=0"},
        {"2abc", 2, "Index=2abc"},
        {" 3", 3, nullptr}, // blanks around a value are the reader's to trim
        {"+1", 1, "Index=+1"},
        {"0x2", 0, "Index=0"},
        {"3", 3, "Index=3"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Index=") + c.stored);
        const std::string text = SettingsText(c.stored);
        const std::string path = WriteFileBytes("index-" + std::to_string(n++) + ".ini", text);
        face()->SetSettingsFile(path.c_str());
        EXPECT_EQ(c.engine, face()->GetEngineIndex());
        ExpectConsistentEngine();
        const std::string after = ReadFileBytes(path);
        if (c.storedAfter) {
            EXPECT_EQ(c.storedAfter, IndexLineOf(after));
        }
        EXPECT_EQ(LinesBesideIndex(text), LinesBesideIndex(after));
    }
}

TEST_F(SettingsFile, FileWithoutSelectSectionGainsIt) {
    const std::string text = "[Window]\r\nLeft=10\r\n";
    const std::string path = WriteFileBytes("no-select.ini", text);
    face()->SetSettingsFile(path.c_str());
    EXPECT_EQ(0, face()->GetEngineIndex());
    const std::vector<std::string> expected = {"[Window]", "Left=10", "[Select]", "Index=0"};
    EXPECT_EQ(expected, Lines(ReadFileBytes(path)));
}

TEST_F(SettingsFile, FolderThatDoesNotExistIsNeitherCreatedNorFatal) {
    const std::string folder = ScratchPath("no-such-folder");
    face()->SetSettingsFile((folder + "\\settings.ini").c_str());
    EXPECT_EQ(0, face()->GetEngineIndex());
    ExpectConsistentEngine();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(folder.c_str()));
}

TEST_F(SettingsFile, FileThatCannotBeWrittenIsReadAndLeftByteForByte) {
    for (const char* stored : {"2", "abc"}) {
        SCOPED_TRACE(stored);
        const std::string text = SettingsText(stored);
        const std::string path = WriteFileBytes(std::string("locked-") + stored + ".ini", text);
        // Held open for reading by someone who lets others read but not
        // write (a read-only attribute would not stop an administrator).
        HANDLE lock = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        face()->SetSettingsFile(path.c_str());
        EXPECT_EQ(stored[0] == '2' ? 2 : 0, face()->GetEngineIndex());
        ExpectConsistentEngine();
        EXPECT_EQ(text, ReadFileBytes(path));
        ::CloseHandle(lock);
    }
}

TEST_F(SettingsFile, FolderInPlaceOfTheFileStaysAFolder) {
    const std::string folder = ScratchPath("settings-folder.ini");
    ::CreateDirectoryA(folder.c_str(), nullptr); // scratch folders may outlive a run
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(folder.c_str()));
    face()->SetSettingsFile(folder.c_str());
    EXPECT_EQ(0, face()->GetEngineIndex());
    ExpectConsistentEngine();
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              ::GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SettingsFile, GarbageFileLeavesARegisteredEngineCurrent) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        std::string garbage(static_cast<size_t>(4096 + round * 3000), '\0');
        for (char& ch : garbage)
            ch = static_cast<char>(byte(random));
        if (round % 2) // half of them with a real section buried inside
            garbage.insert(garbage.size() / 2, "\r\n[Select]\r\nIndex=3\r\n");
        const std::string path =
            WriteFileBytes("garbage-" + std::to_string(round) + ".ini", garbage);
        face()->SetSettingsFile(path.c_str());
        ExpectConsistentEngine();
    }
}
