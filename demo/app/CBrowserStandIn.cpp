// CBrowserStandIn: the shell handlers that start the URL recorder, and the
// record file it appends to.
#include "CBrowserStandIn.h"
#include "DemoPaths.h"
#include <fstream>
#include <iterator>

namespace {
const char* const kHandlerKeys[] = {
    "http\\shell\\open\\command",
    "htmlfile\\shell\\open\\command",
};
const char kUserClasses[] = "Software\\Classes\\";

// The command that HKEY_CLASSES_ROOT shows for a key, as the shell reads it.
std::string ClassesRootCommand(const char* key) {
    char value[2048] = {};
    LONG size = sizeof(value);
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}
} // namespace

// The current user's classes take precedence over the machine's in
// HKEY_CLASSES_ROOT on Windows, and writing them needs no administrator
// rights. Wine's HKEY_CLASSES_ROOT shows only the machine's classes; where
// the per-user value does not show through, the key is set there as well.
CBrowserStandIn::CBrowserStandIn(const std::string& urlFile)
    : command("\"" + ProgramPath() + "\" --record-url \"" + urlFile + "\" \"%1\"") {
    for (const char* key : kHandlerKeys) {
        overrides.push_back(std::make_unique<CRegistryOverride>(
            HKEY_CURRENT_USER, std::string(kUserClasses) + key, command));
        if (ClassesRootCommand(key) != command)
            overrides.push_back(
                std::make_unique<CRegistryOverride>(HKEY_CLASSES_ROOT, key, command));
    }
}

// Last made, first restored: each override puts back what it found.
CBrowserStandIn::~CBrowserStandIn() {
    while (!overrides.empty())
        overrides.pop_back();
}

bool CBrowserStandIn::Installed() const {
    for (const char* key : kHandlerKeys) {
        if (ClassesRootCommand(key) != command)
            return false;
    }
    return true;
}

bool CBrowserStandIn::Record(const std::string& urlFile, const std::string& url) {
    HANDLE file =
        ::CreateFileA(urlFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::string line = url + "\n";
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == line.size();
}

std::vector<std::string> CBrowserStandIn::Recorded(const std::string& urlFile) {
    std::ifstream in(urlFile, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    // Only finished lines count: a recorder may be writing the last one.
    std::vector<std::string> urls;
    size_t start = 0;
    for (size_t end = content.find('\n'); end != std::string::npos;
         start = end + 1, end = content.find('\n', start)) {
        if (end > start)
            urls.push_back(content.substr(start, end - start));
    }
    return urls;
}
