// LaunchSearch with the real registry and shell: launch_recorder, registered
// as the handler of http URLs, must be started with the URL.
#include "Pump.h"
#include "TestFiles.h"
#include "launch/LaunchSearch.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
// Sets the default value of a key below HKEY_CLASSES_ROOT for the life of
// the object, then puts back the old value (or removes the key it made).
class ClassesRootDefaultOverride {
public:
    ClassesRootDefaultOverride(const std::string& key, const std::string& value) : key(key) {
        LONG size = 0;
        existed = ::RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, &size) == ERROR_SUCCESS;
        if (existed) {
            std::vector<char> old(static_cast<size_t>(size) + 1, '\0');
            ::RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), old.data(), &size);
            oldValue = old.data();
        }
        ::RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                       static_cast<DWORD>(value.size()));
    }
    ~ClassesRootDefaultOverride() {
        if (existed)
            ::RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, oldValue.c_str(),
                           static_cast<DWORD>(oldValue.size()));
        else
            ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    }
    ClassesRootDefaultOverride(const ClassesRootDefaultOverride&) = delete;
    ClassesRootDefaultOverride& operator=(const ClassesRootDefaultOverride&) = delete;

private:
    std::string key;
    bool existed = false;
    std::string oldValue;
};

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/"));
}
} // namespace

TEST(LaunchShellTest, RegisteredHandlerIsStartedWithTheUrl) {
    SetLaunchSeam(nullptr);
    const std::string output = ScratchPath("launched-url.txt");
    ::DeleteFileA(output.c_str());
    const std::string handler =
        "\"" + ProgramFolder() + "\\launch_recorder.exe\" \"" + output + "\" \"%1\"";
    ClassesRootDefaultOverride http("http\\shell\\open\\command", handler);
    ClassesRootDefaultOverride html("htmlfile\\shell\\open\\command", handler);

    // Short: Wine's shell32 overflows on command lines near 1,024 characters.
    const std::string url = "http://search.test/find?q=tavrel+shell";
    LaunchSearch(url.c_str());
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(output) == url; }, 20000))
        << "recorded: '" << ReadFileBytes(output) << "'";
    ::DeleteFileA(output.c_str());
}
