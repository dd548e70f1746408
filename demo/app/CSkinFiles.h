// CSkinFiles: the file of each skin picture. A skin is a folder of PNG
// files with fixed names; a designer's folder (--skin DIR) may hold only
// some of them, and each one missing there is taken from the default skin,
// so a single picture can be previewed on its own. An optional skin.ini in
// the designer's folder gives the bar's corner radius ([Bar] CornerRadius).
#pragma once
#include <string>
#include <vector>

class CSkinFiles {
  public:
    // File names of the pictures.
    static constexpr const char* kBackground = "bar.png";
    static constexpr const char* kActiveBackground = "bar-active.png";
    static constexpr const char* kEngineIcon = "engine.png";
    static constexpr const char* kArrow = "arrow.png";
    static constexpr const char* kSearchButton = "search.png";
    static constexpr const char* kEngineList = "engine-list.png";
    static constexpr const char* kEngineListHighlight = "engine-list-highlight.png";
    static constexpr const char* kSuggestionList = "suggestion-list.png";
    static constexpr const char* kSuggestionListHighlight = "suggestion-list-highlight.png";

    // customFolder may be empty: then every picture is the default one.
    CSkinFiles(std::string defaultFolder, std::string customFolder);

    // The picture's path: in the designer's folder when it is there,
    // otherwise in the default skin.
    std::string Path(const char* file) const;
    // Radius of the window's rounded clipping; 0 (no clipping: the
    // pictures' own alpha shapes the corners) unless skin.ini says more.
    int CornerRadius() const;
    // The bar's pictures (not engine icons) taken from the default skin
    // although a designer's folder was given.
    std::vector<std::string> DefaultsUsed() const;
    const std::string& CustomFolder() const { return customFolder; }

  private:
    std::string defaultFolder;
    std::string customFolder;
};
