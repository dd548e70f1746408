// ScaledSkinFile: finding the scaled variants of a skin picture on disk.
#include "ScaledSkinFile.h"
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kVariantPercents[] = {125, 150, 200, 300, 400};

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

template <class String> String VariantPath(const String& path, int percent) {
    using Char = typename String::value_type;
    char digits[32];
    std::snprintf(digits, sizeof(digits), ".scale-%d", percent);
    const String suffix(digits, digits + std::char_traits<char>::length(digits));
    const Char separators[] = {Char('\\'), Char('/'), Char(0)};
    const size_t nameStart = path.find_last_of(separators);
    const size_t dot = path.find_last_of(Char('.'));
    const bool hasExtension =
        dot != String::npos && (nameStart == String::npos || dot > nameStart);
    if (!hasExtension)
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}
} // namespace

std::wstring ScaledVariantPath(const std::wstring& path, int percent) {
    return VariantPath(path, percent);
}

std::string ScaledVariantPath(const std::string& path, int percent) {
    return VariantPath(path, percent);
}

std::vector<ScaledSkinFile> ScaledSkinCandidates(const std::wstring& path,
                                                 const CDpiScale& scale) {
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
