// The demo's folders and files: program, default skin, settings file.
#include "DemoPaths.h"
#include <shlobj.h>
#include <windows.h>

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string ProgramFolder() {
    return FolderOf(ProgramPath());
}

std::string DefaultSkinFolder() {
    return ProgramFolder() + "\\skin";
}

std::string DarkSkinFolder() {
    return ProgramFolder() + "\\skin-dark";
}

std::string SettingsFilePath() {
    char appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                  SHGFP_TYPE_CURRENT, appData)))
        return std::string();
    const std::string folder = std::string(appData) + "\\Tavrel";
    ::CreateDirectoryA(folder.c_str(), nullptr); // fails harmlessly when it exists
    return folder + "\\demo.ini";
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full) : path;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
