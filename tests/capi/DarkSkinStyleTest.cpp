// A host with a dark skin gives the bar light text through the C interface's
// text styles, and the screen shows it: the suggestion rows in the chosen
// colour on the dark list, the highlighted row in its own colour, a larger
// size drawn at once in the open list with taller glyphs, the query field's
// text and background colours, and the engine list keeping its default
// black text.
#include "MessageRecorder.h"
#include "Pixels.h"
#include "Pump.h"
#include "TestFiles.h"
#include "tavrel_c.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr int kBarLeft = 60, kBarTop = 80, kBarWidth = 300, kBarHeight = 30;
constexpr int kRowHeight = 25; // the lists' rows at 96 DPI
constexpr uint32_t kDarkList = 0xFF262A30;
constexpr uint32_t kDarkHighlight = 0xFF3A4250;
constexpr DWORD kRowText = 0xFFE8ECF0;       // light grey
constexpr DWORD kHighlightText = 0xFFFFC020; // amber
constexpr COLORREF kFieldText = RGB(0xF0, 0xF4, 0xF8);
constexpr COLORREF kFieldBackground = RGB(0x20, 0x24, 0x2A);

// What the screen shows inside a window, as 0xAARRGGBB (the lists and the
// field are ordinary windows, so the screen holds their pixels).
PixelImage Shot(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    Canvas canvas = MakeCanvas(w, h, 0);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas.dc, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    PixelImage image;
    image.width = w;
    image.height = h;
    image.pixels.assign(canvas.bits, canvas.bits + static_cast<size_t>(w) * h);
    FreeCanvas(canvas);
    return image;
}

bool Near(uint32_t pixel, uint32_t rgb, int tolerance) {
    return std::abs(PixelImage::Red(pixel) - PixelImage::Red(rgb)) <= tolerance &&
           std::abs(PixelImage::Green(pixel) - PixelImage::Green(rgb)) <= tolerance &&
           std::abs(PixelImage::Blue(pixel) - PixelImage::Blue(rgb)) <= tolerance;
}

// Pixels of rows [top, bottom) that match, and how many pixel rows hold one.
struct Ink {
    int pixels = 0;
    int height = 0;
};
Ink InkOf(const PixelImage& image, int top, int bottom,
          const std::function<bool(uint32_t)>& matches) {
    Ink ink;
    int first = -1, last = -1;
    for (int y = top; y < bottom && y < image.height; ++y)
        for (int x = 2; x < image.width - 2; ++x)
            if (matches(image.At(x, y))) {
                ++ink.pixels;
                first = first < 0 ? y : first;
                last = y;
            }
    ink.height = first < 0 ? 0 : last - first + 1;
    return ink;
}

// COLORREF (0x00BBGGRR) as 0xAARRGGBB.
uint32_t FromRgb(COLORREF color) {
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

HWND VisibleOwned(TavrelBar* bar, const char* className, int width) {
    HWND found = nullptr;
    while ((found = ::FindWindowExA(nullptr, found, className, nullptr))) {
        RECT rect{};
        ::GetWindowRect(found, &rect);
        if (::GetWindow(found, GW_OWNER) == TavrelGetWindowHandle(bar) &&
            ::IsWindowVisible(found) && (width == 0 || rect.right - rect.left == width))
            return found;
    }
    return nullptr;
}

bool LightText(uint32_t p) {
    return Near(p, kRowText, 40);
}
bool AmberText(uint32_t p) {
    return PixelImage::Red(p) > 0xC0 && PixelImage::Green(p) > 0x80 && PixelImage::Blue(p) < 0x60;
}
bool BlackText(uint32_t p) {
    return PixelImage::Red(p) < 0x10 && PixelImage::Green(p) < 0x10 && PixelImage::Blue(p) < 0x10;
}

} // namespace

TEST(DarkSkin, ListAndFieldTextTakeTheirStylesOnScreen) {
    MessageRecorder host;
    TavrelBar* bar = TavrelCreate();
    ASSERT_NE(nullptr, bar);
    // The suggestion list's style is given before the window exists, the
    // field's and the highlight's after.
    ASSERT_EQ(1, TavrelSetListTextStyleW(bar, TAVREL_LIST_SUGGESTIONS, L"DejaVu Sans", 13,
                                          kRowText, TAVREL_TEXT_BOLD));
    TavrelSetEngineListBackground(bar, WriteSolidPng("elist.png", 100, 25, kDarkList).c_str());
    TavrelSetSuggestionListBackground(bar,
                                      WriteSolidPng("slist.png", kBarWidth, 25, kDarkList).c_str());
    TavrelSetSuggestionListHighlight(
        bar, WriteSolidPng("shigh.png", kBarWidth, 25, kDarkHighlight).c_str());
    const RECT placement = {kBarLeft, kBarTop, kBarWidth, kBarHeight};
    ASSERT_EQ(1, TavrelCreateBar(bar, host.hwnd(), &placement));
    TavrelSetBackgroundImage(bar, WriteSolidPng("bar.png", kBarWidth, kBarHeight, 0xFF181B20).c_str(),
                             0);
    TavrelSetEngineIconImage(bar, WriteSolidPng("icon.png", 16, 16, 0xFF4080FF).c_str());
    ASSERT_EQ(1, TavrelAddEngine(bar, WriteSolidPng("atlas.png", 16, 16, 0xFF40C040).c_str(),
                                 "Mmmm Wwww", "http://atlas.example/?q="));
    TavrelSetPosition(bar, kBarLeft, kBarTop);
    TavrelUpdateLayout(bar);
    TavrelShowBar(bar, SW_SHOW);
    ASSERT_EQ(1, TavrelSetListHighlightTextColor(bar, TAVREL_LIST_SUGGESTIONS, kHighlightText));
    ASSERT_EQ(1, TavrelSetQueryFieldStyleW(bar, L"DejaVu Sans", 13, kFieldText, kFieldBackground));

    // Three rows; the second is highlighted by the pointer.
    for (const char* text : {"WWMM wwmm 1", "WWMM wwmm 2", "WWMM wwmm 3"})
        TavrelAddSuggestion(bar, text);
    TavrelShowSuggestions(bar);
    HWND list = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (list = VisibleOwned(bar, "GUI_AFXSELECT", kBarWidth)); }));
    ::PostMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(40, kRowHeight + 12));
    PixelImage shot;
    ASSERT_TRUE(PumpUntil([&] {
        shot = Shot(list);
        return InkOf(shot, kRowHeight, 2 * kRowHeight, AmberText).pixels > 30;
    })) << "the highlighted row's text never showed in its colour";
    const Ink plainRow = InkOf(shot, 0, kRowHeight, LightText);
    EXPECT_GT(plainRow.pixels, 30);
    EXPECT_EQ(0, InkOf(shot, 0, kRowHeight, AmberText).pixels);
    EXPECT_EQ(0, InkOf(shot, 0, kRowHeight, BlackText).pixels) << "default black text remains";
    EXPECT_TRUE(Near(shot.At(shot.width - 20, 3), kDarkList, 4));
    EXPECT_TRUE(Near(shot.At(shot.width - 20, kRowHeight + 3), kDarkHighlight, 4));
    EXPECT_GT(InkOf(shot, 2 * kRowHeight, 3 * kRowHeight, LightText).pixels, 30);

    // A larger size shows at once in the open list, with taller glyphs; the
    // highlight keeps its colour.
    ASSERT_EQ(1, TavrelSetListTextStyle(bar, TAVREL_LIST_SUGGESTIONS, "DejaVu Sans", 22, kRowText,
                                        TAVREL_TEXT_BOLD));
    Ink largeRow;
    ASSERT_TRUE(PumpUntil([&] {
        shot = Shot(list);
        largeRow = InkOf(shot, 0, kRowHeight, LightText);
        return largeRow.height > plainRow.height + 4;
    })) << "glyph height stayed " << largeRow.height << " (was " << plainRow.height << ")";
    EXPECT_GT(InkOf(shot, kRowHeight, 2 * kRowHeight, AmberText).pixels, 30);

    // The field: its own background colour and light text.
    HWND frame = VisibleOwned(bar, "GUI_EDIT", 0);
    ASSERT_NE(nullptr, frame);
    HWND field = ::GetWindow(frame, GW_CHILD);
    ::SetWindowTextW(field, L"WWMM wwmm");
    PixelImage fieldShot;
    ASSERT_TRUE(PumpUntil([&] {
        fieldShot = Shot(field);
        return InkOf(fieldShot, 0, fieldShot.height,
                     [](uint32_t p) { return Near(p, FromRgb(kFieldText), 40); })
                   .pixels > 20;
    })) << "the field's text never showed in its colour";
    EXPECT_EQ(FromRgb(kFieldBackground) & 0xFFFFFF,
              fieldShot.At(fieldShot.width - 4, fieldShot.height / 2) & 0xFFFFFF);
    EXPECT_EQ(0, InkOf(fieldShot, 0, fieldShot.height, BlackText).pixels);

    // The engine list, whose style was never set, opens with black text
    // (where the suggestion list was, so that one goes first).
    TavrelClearSuggestions(bar);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(list); }));
    ::PostMessageA(TavrelGetWindowHandle(bar), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 12));
    HWND engines = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (engines = VisibleOwned(bar, "GUI_AFXSELECT", 100)); }));
    PixelImage engineShot;
    EXPECT_TRUE(PumpUntil([&] {
        engineShot = Shot(engines);
        return InkOf(engineShot, 0, kRowHeight, BlackText).pixels > 20;
    })) << "the engine list's default text is gone";
    EXPECT_EQ(0, InkOf(engineShot, 0, kRowHeight, LightText).pixels);
    ::PostMessageA(engines, WM_ACTIVATEAPP, FALSE, 0);
    TavrelShowBar(bar, SW_HIDE);
    PumpUntilIdle();
}
