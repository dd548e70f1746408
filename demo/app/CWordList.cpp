// CWordList: the built-in words behind the demo's suggestions.
#include "CWordList.h"
#include <cctype>

namespace {
const char* const kWords[] = {
    "atlas",    "atom",       "autumn",   "banner",   "beacon",  "bridge",  "button",   "canvas",
    "castle",   "cloud",      "code",     "codec",    "compass", "cursor",  "desktop",  "dialog",
    "engine",   "garden",     "glyph",    "harbor",   "icon",    "index",   "keyboard", "lantern",
    "layer",    "layout",     "library",  "marble",   "meadow",  "menu",    "mountain", "ocean",
    "palette",  "pixel",      "planet",   "query",    "river",   "search",  "shadow",   "sketch",
    "ski",      "skill",      "skin",     "skinning", "skip",    "skipper", "sky",      "skyline",
    "skylight", "skyscraper", "summit",   "tavern",   "theme",   "toolbar", "valley",   "widget",
    "wiki",     "wind",       "windmill", "window",   "windows", "windy",   "winter",   "wizard",
};

bool StartsWithIgnoringCase(const char* word, const std::string& prefix) {
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (word[i] == '\0')
            return false;
        const auto a = static_cast<unsigned char>(word[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b))
            return false;
    }
    return true;
}
} // namespace

std::vector<std::string> CWordList::Matches(const std::string& query, size_t limit) const {
    std::vector<std::string> matches;
    if (query.empty())
        return matches;
    for (const char* word : kWords) {
        if (matches.size() >= limit)
            break;
        if (StartsWithIgnoringCase(word, query))
            matches.push_back(word);
    }
    return matches;
}
