// ListTextLook: how a list draws its row text, as the host chose it (the
// defaults are the lists' own). The list turns it into its CTextStyle at
// its DPI scale.
#pragma once
#include <string>
#include <windows.h>

struct ListTextLook {
    static constexpr int kDefaultSize = 13;

    std::wstring family;          // empty: the lists' default family
    int size = kDefaultSize;      // pixels at 96 DPI
    UINT32 color = 0;             // 0xAABBGGRR, as CTextStyle takes it
    int style = 1;                // CTextStyle's flags
    bool highlightColorSet = false;
    UINT32 highlightColor = 0;    // 0xAABBGGRR, when set
};
