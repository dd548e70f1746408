// FieldLook: the query field's font and colours as the host chose them; the
// defaults are the field's own face and size and the system's colours.
#pragma once
#include <string>
#include <windows.h>

struct FieldLook {
    static constexpr int kDefaultSize = 13;

    std::wstring family;       // empty: the field's default face
    int size = kDefaultSize;   // pixels at 96 DPI
    bool colored = false;      // false: the system's colours
    COLORREF text = 0;
    COLORREF background = 0;
};
