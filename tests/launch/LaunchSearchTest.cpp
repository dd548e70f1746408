// LaunchSearch through its seam: which registry and shell calls it makes, in
// which order and with which arguments, for each outcome of the registry
// look-up, and that URLs reach the shell whole and, in the fallback, as one
// program argument.
#include "launch/LaunchSearch.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <cstring>
#include <string>
#include <vector>

namespace {
const HKEY kRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1001));
const HKEY kCommand = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x2002));

// What the fake registry answers, and every call made, spelled out.
struct FakePlatform {
    bool rootOpens = true;
    bool commandOpens = true;
    std::vector<std::string> calls;
    std::string lastParameters;
};
FakePlatform* g_fake = nullptr;

std::string Str(LPCSTR text) {
    return text ? "\"" + std::string(text) + "\"" : "null";
}

std::string KeyName(HKEY key) {
    if (key == HKEY_CLASSES_ROOT)
        return "HKCR";
    return key == kRoot ? "root" : key == kCommand ? "command" : "?";
}

LSTATUS WINAPI FakeRegOpenKey(HKEY key, LPCSTR subKey, PHKEY result) {
    g_fake->calls.push_back("RegOpenKeyA(" + KeyName(key) + ", " + Str(subKey) + ")");
    *result = g_fake->rootOpens ? kRoot : nullptr;
    return g_fake->rootOpens ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS WINAPI FakeRegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                PHKEY result) {
    g_fake->calls.push_back("RegOpenKeyExA(" + KeyName(key) + ", " + Str(subKey) + ", " +
                            std::to_string(options) + ", " + std::to_string(access) + ")");
    *result = g_fake->commandOpens ? kCommand : nullptr;
    return g_fake->commandOpens ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS WINAPI FakeRegCloseKey(HKEY key) {
    g_fake->calls.push_back("RegCloseKey(" + KeyName(key) + ")");
    return ERROR_SUCCESS;
}

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR directory, INT show) {
    g_fake->calls.push_back(std::string("ShellExecuteA(") + (owner ? "window" : "null") + ", " +
                            Str(verb) + ", " + Str(file) + ", " + Str(parameters) + ", " +
                            Str(directory) + ", " + std::to_string(show) + ")");
    g_fake->lastParameters = parameters ? parameters : "";
    return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(33));
}

const std::string kOpenKey = "RegOpenKeyA(HKCR, null)";
const std::string kOpenCommand =
    "RegOpenKeyExA(root, \"htmlfile\\shell\\open\\command\", 0, " + std::to_string(KEY_READ) + ")";

std::string OpenWithShell(const std::string& url) {
    return "ShellExecuteA(null, \"open\", \"" + url + "\", null, null, 1)";
}

// Internet Explorer by its full path in the program folder, never by name.
std::string IexplorePath() {
    char folder[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Internet Explorer\\iexplore.exe";
}

std::string StartIexplore(const std::string& url) {
    return "ShellExecuteA(null, null, \"" + IexplorePath() + "\", \"\"" + url + "\"\", null, 5)";
}

// The arguments a program would see for the command line "iexplore.exe <parameters>".
std::vector<std::wstring> ProgramArguments(const std::string& parameters) {
    const std::wstring commandLine =
        L"iexplore.exe " + std::wstring(parameters.begin(), parameters.end());
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> arguments(argv + 1, argv + count);
    ::LocalFree(argv);
    return arguments;
}
} // namespace

class LaunchSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_fake = &fake;
        const LaunchSeam seam{FakeRegOpenKey, FakeRegOpenKeyEx, FakeRegCloseKey, FakeShellExecute};
        previous = SetLaunchSeam(&seam);
    }
    void TearDown() override {
        SetLaunchSeam(&previous);
        g_fake = nullptr;
    }

    FakePlatform fake;
    LaunchSeam previous{};
};

TEST_F(LaunchSearchTest, NullUrlTouchesNothing) {
    LaunchSearch(nullptr);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(LaunchSearchTest, CallsForEachRegistryOutcome) {
    const std::string url = "http://search.test/?q=tavrel";
    const struct {
        const char* name;
        bool rootOpens;
        bool commandOpens;
        std::vector<std::string> calls;
    } cases[] = {
        {"command key opens",
         true,
         true,
         {kOpenKey, kOpenCommand, OpenWithShell(url), "RegCloseKey(command)", "RegCloseKey(root)"}},
        {"command key missing",
         true,
         false,
         {kOpenKey, kOpenCommand, StartIexplore(url), "RegCloseKey(root)"}},
        {"classes root fails", false, false, {kOpenKey, StartIexplore(url)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.rootOpens = c.rootOpens;
        fake.commandOpens = c.commandOpens;
        fake.calls.clear();
        LaunchSearch(url.c_str());
        EXPECT_EQ(c.calls, fake.calls);
    }
}

// Spaces and non-ASCII bytes are passed as typed; long URLs are not cut.
TEST_F(LaunchSearchTest, UrlsReachTheShellWhole) {
    const std::string base = "http://search.test/?q=";
    const std::string urls[] = {
        base + "two words \xE9\xD6\xB0\xA1",
        base + std::string(1023 - base.size(), 'a'),
        base + std::string(5000 - base.size(), 'b'),
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(::testing::Message() << url.size() << " bytes");
        for (bool commandOpens : {true, false}) {
            fake.commandOpens = commandOpens;
            fake.calls.clear();
            LaunchSearch(url.c_str());
            ASSERT_GE(fake.calls.size(), 3u);
            EXPECT_EQ(commandOpens ? OpenWithShell(url) : StartIexplore(url), fake.calls[2]);
        }
    }
}

// The host chooses the URL prefix, so the fallback's parameter string must
// stay one argument whatever the URL holds.
TEST_F(LaunchSearchTest, FallbackUrlIsExactlyOneProgramArgument) {
    fake.commandOpens = false;
    const struct {
        std::string url;
        std::wstring argument;
    } cases[] = {
        {"http://s.test/?q=a b", L"http://s.test/?q=a b"},
        {"http://s.test/?q=a\" -new \"b", L"http://s.test/?q=a%22 -new %22b"},
        {"http://s.test/dir\\", L"http://s.test/dir\\"},
        {"http://s.test/dir\\\\\" x", L"http://s.test/dir\\\\%22 x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        LaunchSearch(c.url.c_str());
        EXPECT_EQ(std::vector<std::wstring>{c.argument}, ProgramArguments(fake.lastParameters));
    }
}

// A scheme this test registers as a URL protocol for the user, the way a
// host registers its own handler, and removes again.
class RegisteredScheme {
public:
    explicit RegisteredScheme(const char* scheme) : key(std::string("Software\\Classes\\") + scheme) {
        HKEY created = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &created, nullptr) == ERROR_SUCCESS) {
            ::RegSetValueExA(created, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
            ::RegCloseKey(created);
        }
    }
    ~RegisteredScheme() { ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }

private:
    std::string key;
};

// Only web URLs and registered URL protocols reach the shell: everything
// the shell would start as a program or open as a file is refused before
// any registry or shell call, whichever way the URL came.
TEST_F(LaunchSearchTest, OnlyUrlHandlersAreEverStarted) {
    const RegisteredScheme own("tavrel-own");
    HKEY noProtocol = nullptr; // a class key without the value is no protocol
    ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\tavrel-noproto", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &noProtocol, nullptr);
    ::RegCloseKey(noProtocol);
    const struct {
        const char* url;
        bool launched;
    } cases[] = {
        {"http://s.test/?q=marker.exe", true},
        {"HTTPS://S.TEST/?q=x", true},
        {"tavrel-own:search/marker.exe", true},
        {"TAVREL-OWN:x", true},
        {"C:\\Tools\\marker.exe", false},
        {"C:marker.exe", false},
        {"c:/Tools/marker.exe", false},
        {"\\\\server\\share\\marker.exe", false},
        {"//server/share/marker.exe", false},
        {"marker.exe", false},
        {".\\marker.exe", false},
        {"file:///C:/Tools/marker.exe", false},
        {"FILE:C:\\Tools\\marker.exe", false},
        {"tavrel-unregistered:marker.exe", false},
        {"tavrel-noproto:marker.exe", false},
        {"http:C:\\Tools\\marker.exe", false},
        {"https:marker.exe", false},
        {" http://s.test/", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        fake.calls.clear();
        EXPECT_EQ(c.launched, LaunchSearch(c.url));
        EXPECT_EQ(c.launched, !fake.calls.empty());
        const std::wstring wide(c.url, c.url + std::strlen(c.url));
        EXPECT_EQ(c.launched, IsLaunchableUrl(wide.c_str()));
    }
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\tavrel-noproto");
}
