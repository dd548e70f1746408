// CGlyphText: one line of list text drawn from glyph masks that the process
// keeps. GDI+ string drawing rasterizes every glyph of every row again on
// each paint (under Wine a glyph outline per character, twice); here each
// glyph of a font is taken once from GetGlyphOutlineW (65 levels of grey)
// and the row is composed from the kept masks and blended onto the target
// with one AlphaBlend. The line is laid out as GDI+ lays out a string in a
// layout box (the start one sixth of the em size inside the box, the
// baseline the font's ascent below its top, the font's own advances) and
// clipped to the box, so rows keep their font, size, colour and place.
//
// Only text whose characters need no shaping is drawn here (Latin, Greek,
// Cyrillic, CJK, kana, Hangul syllables, common symbols); text with
// combining marks, other scripts, controls or an underlined or struck-out
// font is left to GDI+ (Draw answers false).
#pragma once
#include <string>
#include <windows.h>

class CGlyphText {
public:
    // True when every character of text is one that is drawn alone.
    static bool DrawsAlone(const std::wstring& text);
    // Draws text in font (a GDI font of the em size in pixels) on target
    // with the layout box (x, y, w, h), in colour (0xAARRGGBB, straight
    // alpha). False, with nothing drawn, when the font is underlined or
    // struck out, when the text is not one DrawsAlone takes, or when it
    // would not fit on one line of the box.
    static bool Draw(HDC target, HFONT font, float emSize, const std::wstring& text, float x,
                     float y, float w, float h, DWORD color);
    // Releases the kept glyphs, the memory DC and the scratch bitmap (when
    // no bar will draw again); a later Draw makes them anew.
    static void Release();
};
