// CSkinFiles: skin picture paths with the default skin as fallback.
#include "CSkinFiles.h"
#include "DemoPaths.h"
#include <utility>
#include <windows.h>

namespace {
const char* const kBarPictures[] = {
    CSkinFiles::kBackground,
    CSkinFiles::kActiveBackground,
    CSkinFiles::kEngineIcon,
    CSkinFiles::kArrow,
    CSkinFiles::kSearchButton,
    CSkinFiles::kEngineList,
    CSkinFiles::kEngineListHighlight,
    CSkinFiles::kSuggestionList,
    CSkinFiles::kSuggestionListHighlight,
};
} // namespace

CSkinFiles::CSkinFiles(std::string defaultFolder, std::string customFolder)
    : defaultFolder(std::move(defaultFolder)),
      customFolder(customFolder.empty() ? std::string() : FullPath(customFolder)) {}

std::string CSkinFiles::Path(const char* file) const {
    if (!customFolder.empty()) {
        const std::string custom = customFolder + "\\" + file;
        if (FileExists(custom))
            return custom;
    }
    return defaultFolder + "\\" + file;
}

int CSkinFiles::CornerRadius() const {
    if (customFolder.empty())
        return 0;
    const std::string ini = customFolder + "\\skin.ini";
    return static_cast<int>(::GetPrivateProfileIntA("Bar", "CornerRadius", 0, ini.c_str()));
}

std::vector<std::string> CSkinFiles::DefaultsUsed() const {
    std::vector<std::string> used;
    if (customFolder.empty())
        return used;
    for (const char* file : kBarPictures) {
        if (!FileExists(customFolder + "\\" + file))
            used.push_back(file);
    }
    return used;
}
