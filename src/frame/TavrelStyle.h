// CTavrelStyle: the bar's text styles, for the rows of its two lists and for
// its query field. Not part of Tavrel.h: every bar object implements it
// beside CTavrel, and the C interface reaches it by a cross-cast, as it
// reaches CTavrelUnicode. Each operation answers 1 when it applied the
// style, 0 (changing nothing) for an argument out of range.
#pragma once
#include <windows.h>

class CTavrelStyle {
public:
    enum : int { kEngineList = 0, kSuggestionList = 1 };
    enum : int { kBold = 1, kItalic = 2, kUnderline = 4, kAllFlags = kBold | kItalic | kUnderline };
    // Text sizes are pixels at 96 DPI, from 1 to this.
    static constexpr int kMaxTextSize = 72;

    // A list's row text: a null or empty family means the default one;
    // argb is 0xAARRGGBB, an alpha of 0 counting as opaque.
    virtual int SetListTextStyleW(int list, const wchar_t* family, int size, DWORD argb,
                                  int flags) = 0;
    // The highlighted row's text colour; until set, the row text's colour.
    virtual int SetListHighlightTextColor(int list, DWORD argb) = 0;
    // The query field's font (a null or empty family means the default
    // face) and its text and background colours (COLORREF, 0x00BBGGRR).
    virtual int SetQueryFieldStyleW(const wchar_t* family, int size, COLORREF textRgb,
                                    COLORREF backgroundRgb) = 0;

    static bool ValidSize(int size) { return size > 0 && size <= kMaxTextSize; }

protected:
    ~CTavrelStyle() = default;
};
