// ScaledSkinFile: which file holds a skin picture for a scale. Beside a file
// the host names, say skin\bar.png, a skin may hold the same picture drawn
// for larger screens, named by the Windows convention for scaled assets:
// skin\bar.scale-125.png, -150, -200, -300 and -400.
#pragma once
#include "CDpiScale.h"
#include <string>
#include <vector>

struct ScaledSkinFile {
    std::wstring path;
    int percent = 100; // the scale the file was drawn for
};

// The files to try for a picture at the scale, best first: the variants
// that exist, the smallest at or above the scale first, then those below it
// from the largest down; the named file itself always comes last. At 100%
// and below only the named file is given and nothing else is looked at.
// Files are looked up by their UTF-16 names.
std::vector<ScaledSkinFile> ScaledSkinCandidates(const std::wstring& path, const CDpiScale& scale);

// path with ".scale-NNN" put before the extension of its file name.
std::wstring ScaledVariantPath(const std::wstring& path, int percent);
std::string ScaledVariantPath(const std::string& path, int percent);
