// ListPainter: back buffer, skins, frame, row text and cursor shared by the
// two popup lists.
#include "ListPainter.h"
#include "../render/AnsiToWide.h"
#include "../render/CFontFallback.h"
#include "../render/CGlyphText.h"
#include "../render/CSkinImage.h"
#include "../render/CTextStyle.h"
#include "../render/GdiPlus.h"
#include "../render/TextDirection.h"

namespace {
constexpr BYTE kFrameAlpha = 0xFE; // colours without alpha are drawn at 254
const char kDefaultFamily[] = "\xCB\xCE\xCC\xE5"; // "SimSun", code page 936
} // namespace

void ListPainter::CreateBackBuffer(HWND window, HDC& windowDC, HDC& bufferDC, HBITMAP& bufferBitmap,
                                   int w, int h) {
    windowDC = ::GetDC(window);
    bufferDC = ::CreateCompatibleDC(windowDC);
    bufferBitmap = ::CreateCompatibleBitmap(windowDC, w, h);
    if (bufferDC && bufferBitmap)
        ::SelectObject(bufferDC, bufferBitmap);
}

void ListPainter::ResizeForRows(CWnd& window, HDC windowDC, HDC bufferDC, HBITMAP& bufferBitmap,
                                int w, int h) {
    // Without a window there is nothing to size or grow, and invalidating
    // a null window would repaint every window on the desktop.
    if (!window.m_hWnd)
        return;
    // Not activated: a list, shown or hidden, must never take the keyboard
    // focus from the query field.
    window.SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOACTIVATE);
    // A refill adds its rows one by one, each resizing the window; only the
    // paint needs a buffer, so the bitmap is made there, once, and starts
    // as every new bitmap does, all zero. A zero size yields the shared
    // 1 x 1 stock bitmap, which takes the old one's place in the DC.
    if (bufferDC && bufferBitmap) {
        ::SelectObject(bufferDC, ::CreateCompatibleBitmap(windowDC, 0, 0));
        ::DeleteObject(bufferBitmap);
        bufferBitmap = nullptr;
    }
    // Showing a window invalidates all of it, so a hidden list (a refill
    // fills it after Clear has hidden it) needs no invalidation per row.
    if (window.IsWindowVisible())
        window.Invalidate(TRUE);
}

void ListPainter::ReleaseBackBuffer(HWND window, HDC& windowDC, HDC& bufferDC,
                                    HBITMAP& bufferBitmap) {
    if (bufferDC)
        ::DeleteDC(bufferDC);
    bufferDC = nullptr;
    if (bufferBitmap)
        ::DeleteObject(bufferBitmap);
    bufferBitmap = nullptr;
    // The window's DC comes from the common cache (the class has no
    // CS_OWNDC), so it goes back rather than staying out for good.
    if (windowDC && ::IsWindow(window))
        ::ReleaseDC(window, windowDC);
    windowDC = nullptr;
}

bool ListPainter::LoadSkin(HDC windowDC, const std::wstring& path, CSkinImage& skin,
                           std::wstring& skinPathW, std::string& skinPath,
                           const CDpiScale& scale) {
    if (path.empty())
        return false;
    skinPathW = path;
    skinPath = WideToAnsi(path);
    skin.LoadFromFile(windowDC, skinPathW, scale);
    return true;
}

void ListPainter::ReloadSkins(HDC windowDC, const CDpiScale& scale, CSkinImage& background,
                              const std::wstring& backgroundPath, CSkinImage& highlight,
                              const std::wstring& highlightPath) {
    if (background.IsLoaded())
        background.LoadFromFile(windowDC, backgroundPath, scale);
    if (highlight.IsLoaded())
        highlight.LoadFromFile(windowDC, highlightPath, scale);
}

void ListPainter::RoundCorners(CWnd& window, int w, int h, int radius) {
    if (radius <= 0)
        return;
    // The window owns the region from here on.
    window.SetWindowRgn(::CreateRoundRectRgn(0, 0, w, h, radius, radius), TRUE);
}

void ListPainter::Paint(CWnd& window, HDC windowDC, HDC bufferDC, HBITMAP& bufferBitmap, int w,
                        int h, const std::function<void(Gdiplus::Graphics*)>& draw) {
    CPaintDC dc(&window);
    PrepareBuffer(windowDC, bufferDC, bufferBitmap, w, h);
    Gdiplus::Graphics graphics(bufferDC);
    draw(&graphics);
    graphics.Flush(Gdiplus::FlushIntentionSync);
    ::BitBlt(dc, 0, 0, w, h, bufferDC, 0, 0, SRCCOPY);
}

// A buffer already of the size is reused, cleared to what a new bitmap
// holds (all zero), so that a paint draws on the same pixels either way.
void ListPainter::PrepareBuffer(HDC windowDC, HDC bufferDC, HBITMAP& bufferBitmap, int w, int h) {
    if (!bufferDC)
        return;
    BITMAP current{};
    if (bufferBitmap && ::GetObjectA(bufferBitmap, sizeof(current), &current) &&
        current.bmWidth == w && current.bmHeight == h) {
        ::PatBlt(bufferDC, 0, 0, w, h, BLACKNESS);
        return;
    }
    HBITMAP fresh = ::CreateCompatibleBitmap(windowDC, w, h);
    if (!fresh)
        return;
    ::SelectObject(bufferDC, fresh);
    if (bufferBitmap)
        ::DeleteObject(bufferBitmap);
    bufferBitmap = fresh;
}

void ListPainter::DrawClockGlyph(Gdiplus::Graphics* graphics, const Gdiplus::SolidBrush& brush,
                                 int left, int top, int size, bool mirrored) {
    Gdiplus::Color color;
    if (size < 5 || brush.GetColor(&color) != Gdiplus::Ok)
        return;
    const Gdiplus::REAL stroke = static_cast<Gdiplus::REAL>(size) / 8;
    Gdiplus::Pen pen(color, stroke < 1 ? 1 : stroke);
    const Gdiplus::SmoothingMode previous = graphics->GetSmoothingMode();
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::REAL inset = pen.GetWidth() / 2;
    const Gdiplus::REAL diameter = static_cast<Gdiplus::REAL>(size) - 2 * inset;
    graphics->DrawEllipse(&pen, left + inset, top + inset, diameter, diameter);
    const Gdiplus::REAL centerX = left + static_cast<Gdiplus::REAL>(size) / 2;
    const Gdiplus::REAL centerY = top + static_cast<Gdiplus::REAL>(size) / 2;
    const Gdiplus::REAL hand = diameter * 0.3f;
    graphics->DrawLine(&pen, centerX, centerY, centerX, centerY - hand);
    graphics->DrawLine(&pen, centerX, centerY, centerX + (mirrored ? -hand : hand), centerY);
    graphics->SetSmoothingMode(previous);
}

void ListPainter::DrawRowText(Gdiplus::Graphics* graphics, const std::wstring& text,
                              const CTextStyle& style, CRowFonts& fonts, float x, float y,
                              float w, float h, int rightEdge, bool highlighted) {
    if (IsRightToLeft(text)) {
        DrawRightToLeftText(graphics, text, style, fonts, static_cast<int>(x),
                            static_cast<int>(y), rightEdge, static_cast<int>(y + h), highlighted);
        return;
    }
    const Gdiplus::Font* font = fonts.FontFor(style, text);
    if (DrawFromGlyphs(graphics, text, style, fonts, font, x, y, w, h, highlighted))
        return;
    Gdiplus::StringFormat format(0, 0);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    graphics->DrawString(text.c_str(), -1, font, Gdiplus::RectF(x, y, w, h), &format,
                         style.BrushFor(highlighted));
}

// The same pixels as the string drawn by GDI+ in the font and the brush,
// from the glyphs kept for the font (see CGlyphText.h), where it can. Text
// in a fully opaque colour stays with GDI+: it hands such text to GDI,
// which is quick already, and its rows keep GDI's smoothing.
bool ListPainter::DrawFromGlyphs(Gdiplus::Graphics* graphics, const std::wstring& text,
                                 const CTextStyle& style, CRowFonts& fonts,
                                 const Gdiplus::Font* font, float x, float y, float w, float h,
                                 bool highlighted) {
    Gdiplus::Color color;
    if (!font || !CGlyphText::DrawsAlone(text) ||
        style.BrushFor(highlighted)->GetColor(&color) != Gdiplus::Ok || color.GetA() == 0xFF)
        return false;
    HFONT gdiFont = fonts.GdiFontFor(style, text);
    HDC dc = graphics->GetHDC();
    if (!dc)
        return false;
    const bool drawn =
        CGlyphText::Draw(dc, gdiFont, font->GetSize(), text, x, y, w, h, color.GetValue());
    graphics->ReleaseHDC(dc);
    return drawn;
}

// GDI+ under Wine neither orders nor shapes right-to-left text, GDI does
// (and on Windows both do): the row is drawn through the graphics' DC, right
// aligned, in right-to-left reading order, clipped to its box.
void ListPainter::DrawRightToLeftText(Gdiplus::Graphics* graphics, const std::wstring& text,
                                      const CTextStyle& style, CRowFonts& fonts, int left,
                                      int top, int right, int bottom, bool highlighted) {
    HFONT font = fonts.GdiFontFor(style, text);
    HDC dc = graphics->GetHDC();
    if (!dc)
        return;
    const int savedState = ::SaveDC(dc);
    ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, style.ColorFor(highlighted) & 0x00FFFFFF);
    ::SetTextAlign(dc, TA_RIGHT | TA_TOP | TA_RTLREADING);
    const RECT clip = {left, top, right, bottom};
    ::ExtTextOutW(dc, right, top, ETO_CLIPPED | ETO_RTLREADING, &clip, text.c_str(),
                  static_cast<UINT>(text.size()), nullptr);
    ::RestoreDC(dc, savedState);
    graphics->ReleaseHDC(dc);
}

int ListPainter::ApplyTextLook(const ListTextLook& look, const CDpiScale& scale,
                               CTextStyle& style, CRowFonts& fonts) {
    const int pixels = scale.Scale(look.size);
    if (look.family.empty())
        style.SetFamily(kDefaultFamily);
    else
        style.SetFamilyW(look.family.c_str());
    style.SetColor(look.color);
    style.SetHighlightColor(look.highlightColorSet ? look.highlightColor : look.color);
    style.SetSize(pixels);
    style.SetStyle(look.style);
    fonts.Clear();
    return pixels;
}

int ListPainter::TextTop(int rowTop, int itemHeight, int fontSize) {
    return rowTop + itemHeight / 2 - fontSize / 2;
}

void ListPainter::DrawFrame(Gdiplus::Graphics* graphics, HWND window, int width,
                            UINT32 borderColor, const CDpiScale& scale) {
    const BYTE red = GetRValue(borderColor);
    const BYTE green = GetGValue(borderColor);
    const BYTE blue = GetBValue(borderColor);
    Gdiplus::Pen pen(Gdiplus::Color(kFrameAlpha, red, green, blue), 1.0f);
    RECT client{};
    ::GetClientRect(window, &client);
    // A thicker frame is drawn as nested one-pixel frames, so each stays on
    // whole pixels.
    const int thickness = scale.Scale(1);
    for (INT inset = 0; inset < thickness; ++inset) {
        const INT left = client.left + inset;
        const INT top = client.top + inset;
        const INT right = width - 1 - inset;
        const INT bottom = client.bottom - 1 - inset;
        // The bottom edge runs one pixel further so that the corner is
        // covered also where a line leaves out its last pixel.
        graphics->DrawLine(&pen, left, top, right, top);
        graphics->DrawLine(&pen, right, top, right, bottom);
        graphics->DrawLine(&pen, left, bottom, width - inset, bottom);
        graphics->DrawLine(&pen, left, top, left, bottom);
    }
}

void ListPainter::SetHandCursor() {
    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))); // IDC_HAND
}
