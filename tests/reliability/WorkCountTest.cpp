// How much platform work the frequent operations do, counted at this
// program's imports (the library's classes are linked in): a bar made with
// a full skin decodes each image file once, however often the host names
// it, a second bar with the same skin decodes nothing and gets the same
// pixels, and a rewritten file is decoded again; a host's refill of eleven
// suggestions paints nothing while the list is hidden, resizes the hidden
// window once, when it is shown, and paints it once, reusing its back
// buffer and drawing its rows without GDI+ string drawing and, for texts
// drawn before, without taking a glyph from the font again; repainting the
// bar while its field and list already lie above it moves no window. Times belong to the
// benchmark; these counts are what a regression would change.
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CSuggestionList.h"
#include "../../src/render/CSkinPictureCache.h"
#include "../../src/render/GdiPlus.h"
#include "ImportHook.h"
#include "Pixels.h"
#include "Pump.h"
#include "SkinnedBar.h"
#include "SuggestingHost.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <string>

namespace {

using Gdiplus::GpBitmap;
using Gdiplus::GpStatus;

int g_decodes = 0;
int g_bitmaps = 0;
int g_windowMoves = 0;
int g_listPaints = 0;
int g_listWindowChanges = 0;
int g_stringDraws = 0;
int g_glyphOutlines = 0;
ImportHook* g_stringHook = nullptr;
ImportHook* g_glyphHook = nullptr;
ImportHook* g_decodeHook = nullptr;
ImportHook* g_bitmapHook = nullptr;
ImportHook* g_moveHook = nullptr;
WNDPROC g_listProc = nullptr;

GpStatus WINGDIPAPI CountDecode(GDIPCONST WCHAR* file, GpBitmap** bitmap) {
    ++g_decodes;
    return g_decodeHook->Original<decltype(&CountDecode)>()(file, bitmap);
}

// Zero-sized requests give the shared stock bitmap and make nothing.
HBITMAP WINAPI CountBitmap(HDC dc, int width, int height) {
    if (width > 0 && height > 0)
        ++g_bitmaps;
    return g_bitmapHook->Original<decltype(&CountBitmap)>()(dc, width, height);
}

BOOL WINAPI CountMove(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
    ++g_windowMoves;
    return g_moveHook->Original<decltype(&CountMove)>()(window, after, x, y, cx, cy, flags);
}

GpStatus WINGDIPAPI CountStringDraw(Gdiplus::GpGraphics* graphics, GDIPCONST WCHAR* text,
                                    INT length, GDIPCONST Gdiplus::GpFont* font,
                                    GDIPCONST Gdiplus::RectF* box,
                                    GDIPCONST Gdiplus::GpStringFormat* format,
                                    GDIPCONST Gdiplus::GpBrush* brush) {
    ++g_stringDraws;
    return g_stringHook->Original<decltype(&CountStringDraw)>()(graphics, text, length, font, box,
                                                               format, brush);
}

DWORD WINAPI CountGlyphOutline(HDC dc, UINT c, UINT format, LPGLYPHMETRICS metrics, DWORD size,
                               LPVOID buffer, const MAT2* matrix) {
    ++g_glyphOutlines;
    return g_glyphHook->Original<decltype(&CountGlyphOutline)>()(dc, c, format, metrics, size,
                                                                 buffer, matrix);
}

LRESULT CALLBACK CountListPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT)
        ++g_listPaints;
    if (message == WM_WINDOWPOSCHANGED)
        ++g_listWindowChanges;
    return ::CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

bool Painted(HWND window) {
    return ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE);
}

// True when first lies above second in the top-level z-order.
bool Above(HWND first, HWND second) {
    for (HWND at = ::GetWindow(first, GW_HWNDNEXT); at; at = ::GetWindow(at, GW_HWNDNEXT))
        if (at == second)
            return true;
    return false;
}

TEST(WorkCountTest, CreationRefillAndPaintDoNoWorkTwice) {
    ParkPointer();
    SuggestingHost host;
    ImportHook decodes("gdiplus.dll", "GdipCreateBitmapFromFileICM",
                       reinterpret_cast<void*>(&CountDecode));
    ImportHook bitmaps("gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&CountBitmap));
    ImportHook moves("user32.dll", "SetWindowPos", reinterpret_cast<void*>(&CountMove));
    ImportHook strings("gdiplus.dll", "GdipDrawString", reinterpret_cast<void*>(&CountStringDraw));
    ImportHook glyphs("gdi32.dll", "GetGlyphOutlineW", reinterpret_cast<void*>(&CountGlyphOutline));
    ASSERT_TRUE(decodes.Installed() && bitmaps.Installed() && moves.Installed() &&
                strings.Installed() && glyphs.Installed());
    g_stringHook = &strings;
    g_glyphHook = &glyphs;
    g_decodeHook = &decodes;
    g_bitmapHook = &bitmaps;
    g_moveHook = &moves;

    // Seven files: five bar images (the engine icon also serves the three
    // engines) and two list images shared by both lists.
    CSkinPictureCache::Clear();
    const std::vector<EngineSpec> engines = {{"Alpha", "http://alpha.test/?q="},
                                             {"Beta", "http://beta.test/?q="},
                                             {"Gamma", "http://gamma.test/?q="}};
    CSearchBar* bar = MakeSkinnedBar(host.hwnd(), 100, 100, engines, ScratchPath("work.ini"));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(7, g_decodes);

    g_decodes = 0;
    CSearchBar* second = MakeSkinnedBar(host.hwnd(), 100, 300, engines, ScratchPath("work.ini"));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0, g_decodes);
    for (auto image : {&CSearchBar::backgroundImage, &CSearchBar::activeBackgroundImage,
                       &CSearchBar::engineIconImage, &CSearchBar::searchButtonImage}) {
        const PixelImage decoded = ReadMemoryDC((bar->*image).memDC);
        EXPECT_EQ(decoded.pixels, ReadMemoryDC((second->*image).memDC).pixels);
        EXPECT_FALSE(decoded.pixels.empty());
    }
    // Named twice, a file is decoded once; rewritten, it is decoded again.
    const std::string arrow = WriteSolidPng("work-arrow.png", 7, 4, 0xFF102030);
    g_decodes = 0;
    second->SetArrowImage(arrow.c_str());
    second->SetArrowImage(arrow.c_str());
    EXPECT_EQ(1, g_decodes);
    WriteSolidPng("work-arrow.png", 7, 4, 0x80405060);
    second->SetArrowImage(arrow.c_str());
    EXPECT_EQ(2, g_decodes);
    EXPECT_EQ(0x80, PixelImage::Alpha(ReadMemoryDC(second->arrowImage.memDC).At(3, 2)));
    delete second;
    ASSERT_TRUE(PumpUntil([&] { return Painted(bar->m_hWnd); }));

    const HWND list = SuggestionListOf(*bar);
    g_listProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountListPaints)));
    for (int refill = 0; refill < 3; ++refill) {
        SCOPED_TRACE(refill);
        g_bitmaps = g_listPaints = g_listWindowChanges = g_stringDraws = g_glyphOutlines = 0;
        bar->ClearSuggestions();
        for (int i = 0; i < CSuggestionList::MaxItems; ++i)
            bar->AddSuggestion(SuggestingHost::Proposal("work", i).c_str());
        PumpUntilIdle();
        EXPECT_EQ(0, g_listPaints) << "painted while hidden";
        // The first refill finds the list hidden; the others hide it first.
        EXPECT_EQ(refill == 0 ? 0 : 1, g_listWindowChanges);
        bar->ShowSuggestions();
        ASSERT_TRUE(PumpUntil([&] { return Painted(list); }));
        PumpUntilIdle();
        EXPECT_EQ(1, g_listPaints);
        // The first refill's show resizes the window (it grows from zero
        // height) and shows it; later refills find it at its size.
        EXPECT_EQ(2, g_listWindowChanges);
        // On the first paint at this size the back buffer and the list's
        // stretched background; later paints reuse both.
        EXPECT_EQ(refill == 0 ? 2 : 0, g_bitmaps);
        EXPECT_EQ(0, g_stringDraws);
        if (refill > 0) {
            EXPECT_EQ(0, g_glyphOutlines) << "glyphs drawn before are kept";
        }
    }

    // The first repaint may put the field and the list back above the bar;
    // the next finds them there.
    for (int paint = 0; paint < 2; ++paint) {
        g_windowMoves = 0;
        bar->Invalidate(FALSE);
        ::UpdateWindow(bar->m_hWnd);
    }
    EXPECT_EQ(0, g_windowMoves);
    EXPECT_TRUE(Above(bar->queryEdit->m_hWnd, bar->m_hWnd));
    EXPECT_TRUE(Above(list, bar->m_hWnd));

    ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
    delete bar;
    PumpUntilIdle();
}

} // namespace
