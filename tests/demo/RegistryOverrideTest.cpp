// The demo's registry and URL-recording helpers: a scripted run rewrites the
// user's browser handlers, so every way of restoring them is checked, as is
// the record file that the browser stand-in appends to.
#include "CBrowserStandIn.h"
#include "CRegistryOverride.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
const char kBase[] = "Software\\TavrelDemoTests";

struct DefaultValue {
    bool present = false;
    DWORD type = 0;
    std::string text;
};

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

DefaultValue ReadDefault(const std::string& path) {
    DefaultValue value;
    char data[512] = {};
    DWORD size = sizeof(data);
    value.present = ::RegGetValueA(HKEY_CURRENT_USER, path.c_str(), nullptr,
                                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &value.type,
                                   data, &size) == ERROR_SUCCESS;
    value.text = value.present ? data : "";
    return value;
}

void WriteDefault(const std::string& path, const std::string& text, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ::RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(key);
}

void MakeKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ::RegCloseKey(key);
}

class RegistryOverrideTest : public ::testing::Test {
  protected:
    void SetUp() override { MakeKey(kBase); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kBase); }
    static std::string Key(const char* relative) { return std::string(kBase) + "\\" + relative; }
};
} // namespace

TEST_F(RegistryOverrideTest, MissingKeysAreMadeAndRemovedAgainUpToTheFirstMissingOne) {
    WriteDefault(Key("shell"), "kept");
    {
        CRegistryOverride override(HKEY_CURRENT_USER, Key("shell\\open\\command"), "recorder %1");
        EXPECT_TRUE(override.Applied());
        EXPECT_EQ("recorder %1", ReadDefault(Key("shell\\open\\command")).text);
    }
    EXPECT_FALSE(KeyExists(Key("shell\\open")));
    EXPECT_EQ("kept", ReadDefault(Key("shell")).text);
}

TEST_F(RegistryOverrideTest, AnOldValueComesBackWithItsType) {
    WriteDefault(Key("command"), "%SystemRoot%\\browser.exe \"%1\"", REG_EXPAND_SZ);
    {
        CRegistryOverride override(HKEY_CURRENT_USER, Key("command"), "recorder %1");
        EXPECT_EQ("recorder %1", ReadDefault(Key("command")).text);
    }
    const DefaultValue restored = ReadDefault(Key("command"));
    EXPECT_EQ("%SystemRoot%\\browser.exe \"%1\"", restored.text);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), restored.type);
}

TEST_F(RegistryOverrideTest, AValueThatWasAbsentIsRemovedAndTheKeyKept) {
    MakeKey(Key("command"));
    WriteDefault(Key("command\\child"), "untouched");
    { CRegistryOverride override(HKEY_CURRENT_USER, Key("command"), "recorder %1"); }
    EXPECT_TRUE(KeyExists(Key("command")));
    EXPECT_FALSE(ReadDefault(Key("command")).present);
    EXPECT_EQ("untouched", ReadDefault(Key("command\\child")).text);
}

TEST(BrowserStandInTest, RecordedUrlsAreReadBackInOrderWithoutAHalfWrittenLine) {
    const std::string file = ScratchPath("recorded-urls.txt");
    ::DeleteFileA(file.c_str());
    EXPECT_TRUE(CBrowserStandIn::Recorded(file).empty());
    ASSERT_TRUE(CBrowserStandIn::Record(file, "http://a.example/?q=one"));
    ASSERT_TRUE(CBrowserStandIn::Record(file, "http://b.example/?q=two"));
    WriteFileBytes("recorded-urls.txt", ReadFileBytes(file) + "http://c.exa");
    EXPECT_EQ((std::vector<std::string>{"http://a.example/?q=one", "http://b.example/?q=two"}),
              CBrowserStandIn::Recorded(file));
}

namespace {
std::string ClassesRootCommand(const char* key) {
    char value[1024] = {};
    LONG size = sizeof(value);
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &size) != ERROR_SUCCESS)
        return "(none)";
    return value;
}
} // namespace

// While it lives the shell sees the recorder for both kinds of handler;
// afterwards it sees exactly what it saw before, and the per-user classes
// hold nothing new.
TEST(BrowserStandInTest, HandlersPointAtTheRecorderOnlyWhileItLives) {
    const std::string httpBefore = ClassesRootCommand("http\\shell\\open\\command");
    const std::string htmlBefore = ClassesRootCommand("htmlfile\\shell\\open\\command");
    const bool userHttpBefore = KeyExists("Software\\Classes\\http");
    {
        CBrowserStandIn standIn(ScratchPath("stand-in-urls.txt"));
        ASSERT_TRUE(standIn.Installed());
        const std::string command = ClassesRootCommand("http\\shell\\open\\command");
        EXPECT_NE(std::string::npos, command.find("--record-url")) << command;
        EXPECT_NE(std::string::npos, command.find("stand-in-urls.txt")) << command;
        EXPECT_EQ(command, ClassesRootCommand("htmlfile\\shell\\open\\command"));
    }
    EXPECT_EQ(httpBefore, ClassesRootCommand("http\\shell\\open\\command"));
    EXPECT_EQ(htmlBefore, ClassesRootCommand("htmlfile\\shell\\open\\command"));
    EXPECT_EQ(userHttpBefore, KeyExists("Software\\Classes\\http"));
}
