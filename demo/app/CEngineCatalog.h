// CEngineCatalog: the search engines the demo registers with the bar, in
// list order: three of its own invention by default, or those of a plain
// INI file given with --engines, one section per engine:
//
//   [Atlas]
//   Icon=atlas.png                          ; relative to the INI file's folder
//   Url=http://atlas.example/search?q=
//
// The section name is the engine's display name; the sections' order in the
// file is the list order.
#pragma once
#include "CSkinFiles.h"
#include <string>
#include <vector>

struct EngineEntry {
    std::string name;
    std::string iconPath;
    std::string urlPrefix;
};

class CEngineCatalog {
  public:
    // Atlas, Wikinet and Codefind, with their icons from the skin.
    static CEngineCatalog Defaults(const CSkinFiles& skin);
    // Reads an engines file; false, with the reason in *error, when the file
    // is missing or names no engine.
    bool LoadIni(const std::string& path, std::string* error);

    const std::vector<EngineEntry>& Entries() const { return entries; }

  private:
    std::vector<EngineEntry> entries;
};
