// SuggestionItem: one entry of the suggestion list.
#pragma once
#include <string>
#include <windows.h>

struct SuggestionItem {
    std::string text;
    RECT rowRect{}; // set by painting, used by hit-testing
};
