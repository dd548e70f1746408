// CEngineCatalog: the built-in engines and the engines-file reader.
#include "CEngineCatalog.h"
#include "DemoPaths.h"
#include <shlwapi.h>
#include <windows.h>

namespace {
// Short prefixes on reserved example hosts: nothing real is ever searched,
// and the URLs stay far below the length at which Wine's shell fails.
const EngineEntry kDefaultEngines[] = {
    {"Atlas", "atlas.png", "http://atlas.example/search?q="},
    {"Wikinet", "wikinet.png", "http://wikinet.example/find?term="},
    {"Codefind", "codefind.png", "http://codefind.example/?query="},
};

std::string ReadValue(const std::string& section, const char* key, const std::string& file) {
    char value[2048] = {};
    ::GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof(value), file.c_str());
    return value;
}

// Sections in file order, from the system's double-NUL-terminated list.
std::vector<std::string> SectionNames(const std::string& file) {
    std::vector<char> buffer(32768, '\0');
    const DWORD length = ::GetPrivateProfileSectionNamesA(
        buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::string> names;
    for (DWORD i = 0; i < length && buffer[i] != '\0';) {
        names.emplace_back(&buffer[i]);
        i += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

std::string ResolveIcon(const std::string& icon, const std::string& folder) {
    if (icon.empty() || !::PathIsRelativeA(icon.c_str()))
        return icon;
    return folder + "\\" + icon;
}
} // namespace

CEngineCatalog CEngineCatalog::Defaults(const CSkinFiles& skin) {
    CEngineCatalog catalog;
    for (const EngineEntry& engine : kDefaultEngines)
        catalog.entries.push_back(
            {engine.name, skin.Path(engine.iconPath.c_str()), engine.urlPrefix});
    return catalog;
}

bool CEngineCatalog::LoadIni(const std::string& path, std::string* error) {
    // The INI functions look for a relative name in the Windows folder.
    const std::string file = FullPath(path);
    if (!FileExists(file)) {
        *error = "engines file not found: " + file;
        return false;
    }
    entries.clear();
    const std::string folder = FolderOf(file);
    for (const std::string& name : SectionNames(file))
        entries.push_back({name, ResolveIcon(ReadValue(name, "Icon", file), folder),
                           ReadValue(name, "Url", file)});
    if (entries.empty()) {
        *error = "engines file names no engine ([Name] sections with Icon= and Url=): " + file;
        return false;
    }
    return true;
}
