// CFontFallback: text in any script drawn with real glyphs. When the font a
// list or the query field draws with has no glyph for some character of a
// text, another installed family that has them is used for that text: the
// first of a short, stated list (kFamilies) that is installed and has a
// glyph for every character, else the one that lacks fewest. Glyphs are
// looked up with GDI (GetGlyphIndicesW); families are found by name, never
// by file. Text of ASCII characters alone is taken to be covered without a
// look-up.
//
// CRowFonts holds, for one list, the fonts its rows need beside the list's
// own: GDI+ fonts for left-to-right rows, GDI fonts for right-to-left rows
// (which GDI draws with its bidirectional ordering; see ListPainter).
#pragma once
#include <map>
#include <string>
#include <windows.h>

class CTextStyle;
namespace Gdiplus {
class Font;
}

class CFontFallback {
public:
    // Tried in this order: the system's own families for the scripts on
    // Windows (Segoe UI, Microsoft YaHei, SimSun, Meiryo, MS Gothic, Malgun
    // Gothic, Arial Unicode MS), the Noto CJK and WenQuanYi families that
    // Linux systems (and Debian's fonts-wqy-microhei, which this project
    // installs) provide, then DejaVu Sans (Cyrillic, Greek, Arabic, Hebrew).
    static const wchar_t* const kFamilies[];

    // True when text holds nothing but ASCII.
    static bool IsPlain(const std::wstring& text);
    // The characters of text that font has no glyph for; spaces, controls
    // and format characters do not count.
    static int MissingGlyphs(HFONT font, const std::wstring& text);
    // The same for an installed family; -1 when no family has that name.
    static int MissingGlyphs(const std::wstring& family, const std::wstring& text);
    // The family to draw text with instead of a font that lacks missing of
    // its glyphs: the first listed family with all of them, else the one
    // that lacks fewest (fewer than missing); empty when none does better.
    static std::wstring FamilyFor(const std::wstring& text, int missing);
    // The installed family's name as GDI+ knows it (the name of the family
    // a text style fell back to, for instance), or empty.
    static std::wstring FamilyNameOf(const CTextStyle& style);
};

class CRowFonts {
public:
    CRowFonts() = default;
    ~CRowFonts();
    CRowFonts(const CRowFonts&) = delete;
    CRowFonts& operator=(const CRowFonts&) = delete;

    // The GDI+ font to draw text with: the style's own when its family has
    // the glyphs, else the fallback family's at the style's size and style.
    const Gdiplus::Font* FontFor(const CTextStyle& style, const std::wstring& text);
    // A GDI font of the family that draws text, at the style's pixel size.
    HFONT GdiFontFor(const CTextStyle& style, const std::wstring& text);
    // Drops every font made (the style's size changed, say).
    void Clear();

private:
    // The family for text: empty for the style's own.
    std::wstring FamilyFor(const CTextStyle& style, const std::wstring& text);
    void ForgetIfStyleChanged(const CTextStyle& style);

    std::map<std::wstring, Gdiplus::Font*> fonts;
    std::map<std::wstring, HFONT> gdiFonts;
    int size = -1;
    int style = -1;
};
