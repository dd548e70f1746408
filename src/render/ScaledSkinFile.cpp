// ScaledSkinFile: finding the scaled variants of a skin picture on disk.
#include "ScaledSkinFile.h"
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kVariantPercents[] = {125, 150, 200, 300, 400};

bool IsFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

std::string ScaledVariantPath(const std::string& path, int percent) {
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), ".scale-%d", percent);
    const size_t nameStart = path.find_last_of("\\/");
    const size_t dot = path.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    if (!hasExtension)
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

std::vector<ScaledSkinFile> ScaledSkinCandidates(const std::string& path, const CDpiScale& scale) {
    std::vector<ScaledSkinFile> atOrAbove;
    std::vector<ScaledSkinFile> below;
    const int needed = scale.Percent();
    if (needed > 100 && !path.empty()) {
        for (int percent : kVariantPercents) {
            ScaledSkinFile variant{ScaledVariantPath(path, percent), percent};
            if (IsFile(variant.path))
                (percent >= needed ? atOrAbove : below).push_back(std::move(variant));
        }
    }
    std::reverse(below.begin(), below.end());
    atOrAbove.insert(atOrAbove.end(), below.begin(), below.end());
    atOrAbove.push_back(ScaledSkinFile{path, 100});
    return atOrAbove;
}
