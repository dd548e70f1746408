// EngineItem: one search engine of the engine list. The UTF-16 strings are
// the engine's own; the narrow ones are their ANSI-code-page form for the
// narrow interface: the host's very bytes when it registered the engine
// through a narrow function or slot, converted when through a W function.
#pragma once
#include "../render/CSkinImage.h"
#include <string>

struct EngineItem {
    CSkinImage icon;       // loaded from iconPath when it is not empty
    std::string name;      // display name, unique within a list
    std::string iconPath;  // may be empty
    std::string urlPrefix; // the query is appended to it (or fills its {searchTerms})
    RECT rowRect{};        // set by painting, used by hit-testing
    std::wstring nameW;
    std::wstring iconPathW;
    std::wstring urlPrefixW;
    // Registered through a W function: a query appended to the URL is
    // written in UTF-8, not in the code page's bytes.
    bool wideRegistration = false;
    // Where the bar fetches live suggestions for this engine: a template
    // with {searchTerms}; empty for none.
    std::wstring suggestionUrlW;
};
