// SuggestionItem: one entry of the suggestion list: its UTF-16 text and the
// text's ANSI-code-page form for the narrow interface, and whether it is one
// of the user's recent searches (which the bar puts above every other row).
#pragma once
#include <string>
#include <windows.h>

struct SuggestionItem {
    std::string text;
    RECT rowRect{}; // set by painting, used by hit-testing
    std::wstring textW;
    bool recent = false;
};
