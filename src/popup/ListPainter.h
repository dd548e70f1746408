// ListPainter: what the engine list and the suggestion list share beyond
// their window class: the back buffer they paint through (made, grown and
// released), skin loading, the one-pixel frame, row text, the hand cursor
// and hit-testing of painted rows. CListPopup keeps the handles and fields;
// these helpers only work on them.
#pragma once
#include "../render/CDpiScale.h"
#include "ListTextLook.h"
#include <afxwin.h>
#include <functional>
#include <string>
#include <vector>

class CRowFonts;
class CSkinImage;
class CTextStyle;

namespace Gdiplus {
class Font;
class Graphics;
class SolidBrush;
} // namespace Gdiplus

class ListPainter {
public:
    // In OnCreate: takes the window's DC for the window's life and makes a
    // compatible memory DC holding a w x h bitmap.
    static void CreateBackBuffer(HWND window, HDC& windowDC, HDC& bufferDC, HBITMAP& bufferBitmap,
                                 int w, int h);
    // Resizes the window to w x h without moving it, drops the buffer's
    // bitmap (the next paint makes one of the new size) and asks for a full
    // repaint.
    static void ResizeForRows(CWnd& window, HDC windowDC, HDC bufferDC, HBITMAP& bufferBitmap,
                              int w, int h);
    // Deletes the memory DC, then its bitmap, then gives the window's DC back.
    static void ReleaseBackBuffer(HWND window, HDC& windowDC, HDC& bufferDC, HBITMAP& bufferBitmap);

    // Loads skin from path at the scale and remembers the path (and its
    // ANSI form in skinPath); an empty path changes nothing. True when the
    // skin was (re)loaded.
    static bool LoadSkin(HDC windowDC, const std::wstring& path, CSkinImage& skin,
                         std::wstring& skinPathW, std::string& skinPath, const CDpiScale& scale);
    // Loads the loaded ones of a list's two skins again at the scale.
    static void ReloadSkins(HDC windowDC, const CDpiScale& scale, CSkinImage& background,
                            const std::wstring& backgroundPath, CSkinImage& highlight,
                            const std::wstring& highlightPath);
    // Clips the window to a rounded w x h rectangle; radius <= 0 sets none.
    static void RoundCorners(CWnd& window, int w, int h, int radius);
    // A clock face of size x size pixels at (left, top), in the brush's
    // colour: a ring, a hand to twelve and a hand to three (to nine when
    // mirrored, for rows that run right to left).
    static void DrawClockGlyph(Gdiplus::Graphics* graphics, const Gdiplus::SolidBrush& brush,
                               int left, int top, int size, bool mirrored);

    // Gives the buffer a w x h bitmap (see PrepareBuffer), draws with a
    // GDI+ graphics object on the buffer, then copies the buffer's w x h
    // pixels to the window in one blit.
    static void Paint(CWnd& window, HDC windowDC, HDC bufferDC, HBITMAP& bufferBitmap, int w, int h,
                      const std::function<void(Gdiplus::Graphics*)>& draw);
    // Reuses the buffer's bitmap, cleared, when it is w x h already, and
    // otherwise replaces it with a new one.
    static void PrepareBuffer(HDC windowDC, HDC bufferDC, HBITMAP& bufferBitmap, int w, int h);
    // One line of row text in the style's brush and font, or in a fallback
    // family's font when the style's family lacks glyphs for it (see
    // CFontFallback.h). A left-to-right text starts at x, laid out as GDI+
    // lays out a string in the box (x, y, w, h): from kept glyphs where
    // CGlyphText draws it (the same pixels), else with GDI+ itself; a
    // right-to-left one (Arabic, Hebrew) ends at rightEdge and is drawn
    // with GDI, whose bidirectional ordering and shaping make it read right
    // to left. Either stays within the row's height h. A highlighted row's
    // text has the style's highlight colour.
    static void DrawRowText(Gdiplus::Graphics* graphics, const std::wstring& text,
                            const CTextStyle& style, CRowFonts& fonts, float x, float y, float w,
                            float h, int rightEdge, bool highlighted);
    static bool DrawFromGlyphs(Gdiplus::Graphics* graphics, const std::wstring& text,
                               const CTextStyle& style, CRowFonts& fonts,
                               const Gdiplus::Font* font, float x, float y, float w, float h,
                               bool highlighted);
    static void DrawRightToLeftText(Gdiplus::Graphics* graphics, const std::wstring& text,
                                    const CTextStyle& style, CRowFonts& fonts, int left, int top,
                                    int right, int bottom, bool highlighted);
    // Gives a list's text style the look at the scale and forgets the row
    // fonts made for the old one; answers the text size in pixels.
    static int ApplyTextLook(const ListTextLook& look, const CDpiScale& scale, CTextStyle& style,
                             CRowFonts& fonts);
    // Top of the text of a row whose top is rowTop.
    static int TextTop(int rowTop, int itemHeight, int fontSize);
    // The frame, one pixel at 96 DPI, on the outermost pixels of a window of
    // the given width, in borderColor (0x..BBGGRR) at alpha 254.
    static void DrawFrame(Gdiplus::Graphics* graphics, HWND window, int width, UINT32 borderColor,
                          const CDpiScale& scale);

    static void SetHandCursor();

    // Index of the first item whose painted row holds the point, or -1.
    template <class Item> static int HitTest(const std::vector<Item*>& items, POINT point) {
        for (size_t i = 0; i < items.size(); ++i)
            if (::PtInRect(&items[i]->rowRect, point))
                return static_cast<int>(i);
        return -1;
    }
};
