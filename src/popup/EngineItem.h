// EngineItem: one search engine of the engine list.
#pragma once
#include "../render/CSkinImage.h"
#include <string>

struct EngineItem {
    CSkinImage icon;       // loaded from iconPath when it is not empty
    std::string name;      // display name, unique within a list
    std::string iconPath;  // may be empty
    std::string urlPrefix; // the query is appended to it
    RECT rowRect{};        // set by painting, used by hit-testing
};
