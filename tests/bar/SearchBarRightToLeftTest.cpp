// The right-to-left bar as the user meets it: mirrored pictures on the
// screen, real clicks on the icon at the right and the button at the left,
// the right-aligned engine list, a right-aligned field that keeps mixed
// Arabic and Latin text, accessible locations where the pixels are, the
// direction switched at run time and AUTO following the host window.
#include "../../src/frame/Messages.h"
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "BarTestSupport.h"
#include "Input.h"
#include "Pump.h"
#include <oleacc.h>

namespace {

const RecordedMessage kLaunched{UM_SEARCH_LAUNCHED, 0, 0};
const RecordedMessage kButtonClicked{UM_QUERY_COMMAND, 0, 0};
// "Marhaba" in Arabic letters, a blank, then Latin.
const wchar_t kMixedText[] = L"\x0645\x0631\x062D\x0628\x0627 abc";

// The standard skin (400 x 30): where each picture lies, as columns of the
// bar, in each direction. The icon is 16 wide at 6 from its end, the arrow
// 7 wide after a gap of 3, the button 24 wide at 6 from its end.
struct Columns {
    int icon, arrow, button, fieldLeft;
};
constexpr Columns kLeftToRight{14, 28, 382, 32};
constexpr Columns kRightToLeft{386, 371, 18, 30};
constexpr int kFieldWidth = 338;
constexpr int kMiddleRow = 15;

// Screen pixels of a window's rectangle.
PixelImage ScreenPixelsOf(HWND window) {
    const RECT r = WindowRectOf(window);
    Canvas canvas = MakeCanvas(r.right - r.left, r.bottom - r.top, 0);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas.dc, 0, 0, canvas.width, canvas.height, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    PixelImage image{canvas.width, canvas.height, {}};
    image.pixels.assign(canvas.bits, canvas.bits + canvas.width * canvas.height);
    FreeCanvas(canvas);
    return image;
}

// The leftmost and rightmost columns holding dark (text) pixels; -1, -1
// when there are none.
std::pair<int, int> InkColumns(const PixelImage& image) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width; ++x)
        for (int y = 0; y < image.height; ++y) {
            const uint32_t p = image.At(x, y);
            if (PixelImage::Red(p) < 0x80 && PixelImage::Green(p) < 0x80 &&
                PixelImage::Blue(p) < 0x80) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    return {first, last};
}

RECT AccLocation(HWND bar, long child) {
    IAccessible* object = nullptr;
    RECT screen{};
    if (FAILED(::AccessibleObjectFromWindow(bar, static_cast<DWORD>(OBJID_CLIENT),
                                            IID_IAccessible, reinterpret_cast<void**>(&object))))
        return screen;
    VARIANT id;
    ::VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    long x = 0, y = 0, w = 0, h = 0;
    if (SUCCEEDED(object->accLocation(&x, &y, &w, &h, id)))
        screen = {x, y, x + w, y + h};
    object->Release();
    return screen;
}

class RightToLeftTest : public BarTest {
protected:
    POINT OnBar(int column) const { return {kBarLeft + column, kBarTop + kMiddleRow}; }
    uint32_t ScreenPixel(POINT at) const {
        HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, at.x, at.y);
        ::ReleaseDC(nullptr, screen);
        return 0xFF000000u | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    }
    // The pictures in the back buffer and on the screen, and the field's
    // place, are those of the direction.
    void ExpectLaidOut(const Columns& at) {
        const PixelImage image = PaintAndRead();
        EXPECT_TRUE(SameColor(image.At(at.icon, kMiddleRow), kIconColor));
        EXPECT_TRUE(SameColor(image.At(at.arrow, kMiddleRow), kArrowColor));
        EXPECT_TRUE(SameColor(image.At(at.button, kMiddleRow), kButtonColor));
        PumpUntilIdle();
        EXPECT_TRUE(SameColor(ScreenPixel(OnBar(at.icon)), kIconColor));
        EXPECT_TRUE(SameColor(ScreenPixel(OnBar(at.button)), kButtonColor));
        const RECT field = WindowRectOf(bar->queryEdit->m_hWnd);
        EXPECT_EQ(kBarLeft + at.fieldLeft, field.left);
        EXPECT_EQ(kFieldWidth, field.right - field.left);
    }
    void Click(POINT at) {
        WaitDoubleClickTime();
        ClickAt(at.x, at.y);
    }
    // The field's ink, as columns of the field.
    std::pair<int, int> FieldInk() {
        PumpUntilIdle();
        return InkColumns(ScreenPixelsOf(EditHwnd()));
    }
};

TEST_F(RightToLeftTest, MirroredBarClicksFieldAndSwitching) {
    // Chosen before the window exists, applied when it is made.
    ASSERT_EQ(1, bar->SetLayoutDirection(CSearchBar::kLayoutRightToLeft));
    EXPECT_EQ(0, bar->SetLayoutDirection(3));
    EXPECT_EQ(0, bar->SetLayoutDirection(-1));
    ShowStandardBar();
    bar->SetEngineListBackground(SkinPng(120, 25, kBackgroundColor).c_str());
    ASSERT_EQ(1, bar->AddEngine(SkinPng(16, 16, kIconColor).c_str(), "Alpha",
                                "http://alpha.invalid/?q="));
    ASSERT_EQ(1, bar->AddEngine(SkinPng(16, 16, kIconColor).c_str(), "Beta",
                                "http://beta.invalid/?q="));
    {
        SCOPED_TRACE("right to left");
        ExpectLaidOut(kRightToLeft);
    }
    EXPECT_EQ(0, ::GetWindowLongA(BarHwnd(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL);

    // Accessible locations lie over the pictures and the field.
    const RECT chooser = AccLocation(BarHwnd(), 1);
    const RECT button = AccLocation(BarHwnd(), 3);
    EXPECT_TRUE(::PtInRect(&chooser, OnBar(kRightToLeft.icon)));
    EXPECT_TRUE(::PtInRect(&chooser, OnBar(kRightToLeft.arrow)));
    EXPECT_TRUE(::PtInRect(&button, OnBar(kRightToLeft.button)));
    EXPECT_FALSE(::PtInRect(&button, OnBar(kLeftToRight.button)));
    EXPECT_EQ(WindowRectOf(bar->queryEdit->m_hWnd), AccLocation(BarHwnd(), 2));

    // Mixed text typed into the field stays in typing order and is drawn
    // at its right end, the caret after it. (Wine draws the runs in
    // left-to-right paragraph order, Windows in right-to-left; both agree
    // on the alignment.)
    const DWORD fieldStyle = ::GetWindowLongA(EditHwnd(), GWL_STYLE);
    EXPECT_EQ(static_cast<DWORD>(ES_RIGHT), fieldStyle & ES_RIGHT);
    EXPECT_NE(0, ::GetWindowLongA(EditHwnd(), GWL_EXSTYLE) & WS_EX_RTLREADING);
    ClickIntoField();
    TypeUnicodeIntoFocus(kMixedText);
    ASSERT_TRUE(PumpUntil([&] { return Query() == kMixedText; }));
    wchar_t shown[32] = {};
    ::GetWindowTextW(EditHwnd(), shown, 32);
    EXPECT_STREQ(kMixedText, shown);
    POINT caret{};
    ::GetCaretPos(&caret);
    EXPECT_GT(caret.x, kFieldWidth / 2);
    const auto rightInk = FieldInk();
    EXPECT_GT(rightInk.first, kFieldWidth / 2);
    EXPECT_GT(rightInk.second, kFieldWidth - 20);

    // The button at the left searches.
    host.Clear();
    launches.Clear();
    Click(OnBar(kRightToLeft.button));
    ASSERT_TRUE(PumpUntil([&] { return host.Messages().size() >= 2; }));
    EXPECT_TRUE(host.Matches({kButtonClicked, kLaunched}));
    EXPECT_EQ(1u, launches.Urls().size());

    // The icon at the right opens the engine list, right-aligned with the bar.
    Click(OnBar(kRightToLeft.icon));
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    const RECT list = WindowRectOf(bar->engineList->m_hWnd);
    EXPECT_EQ(kBarLeft + 400, list.right);
    EXPECT_EQ(kBarTop + 30, list.top);
    EXPECT_LT(list.right - list.left, 400);
    EXPECT_TRUE(bar->engineList->IsRightToLeft());
    EXPECT_TRUE(bar->suggestionList->IsRightToLeft());
    bar->engineList->Hide();

    // Left to right at run time: the pictures, the field and its text move,
    // the text, the caret's place in it and the focus stay.
    ::SetFocus(EditHwnd());
    ASSERT_EQ(1, bar->SetLayoutDirection(CSearchBar::kLayoutLeftToRight));
    {
        SCOPED_TRACE("left to right");
        ExpectLaidOut(kLeftToRight);
    }
    EXPECT_EQ(kMixedText, Query());
    EXPECT_EQ(EditHwnd(), ::GetFocus());
    EXPECT_EQ(0, ::GetWindowLongA(EditHwnd(), GWL_STYLE) & ES_RIGHT);
    const auto leftInk = FieldInk();
    EXPECT_GE(leftInk.first, 0);
    EXPECT_LT(leftInk.second, kFieldWidth / 2);
    EXPECT_EQ(LOWORD(::SendMessageW(EditHwnd(), EM_GETSEL, 0, 0)), wcslen(kMixedText));
    host.Clear();
    PumpUntilIdle();
    EXPECT_EQ(0u, host.Count(UM_QUERY_CHANGED)); // the user changed nothing
    EXPECT_TRUE(::PtInRect(&bar->engineHitRect, POINT{kLeftToRight.icon, kMiddleRow}));
    EXPECT_FALSE(bar->engineList->IsRightToLeft());
    EXPECT_FALSE(bar->suggestionList->IsRightToLeft());

    // And back: the list follows too.
    ASSERT_EQ(1, bar->SetLayoutDirection(CSearchBar::kLayoutRightToLeft));
    {
        SCOPED_TRACE("right to left again");
        ExpectLaidOut(kRightToLeft);
    }
    EXPECT_EQ(kMixedText, Query());
    EXPECT_GT(FieldInk().first, kFieldWidth / 2);
    Click(OnBar(kRightToLeft.icon));
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    EXPECT_EQ(kBarLeft + 400, WindowRectOf(bar->engineList->m_hWnd).right);
}

// AUTO (the default) takes the host window's direction when the bar is
// made: mirrored under a WS_EX_LAYOUTRTL host, as before under another.
TEST_F(RightToLeftTest, AutoFollowsTheHostWindow) {
    struct Host {
        DWORD exStyle;
        Columns at;
    } hosts[] = {{WS_EX_LAYOUTRTL, kRightToLeft}, {0, kLeftToRight}};
    for (const Host& h : hosts) {
        SCOPED_TRACE(h.exStyle ? "host right to left" : "host left to right");
        HWND window = ::CreateWindowExW(h.exStyle, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                        640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
        bar = std::make_unique<CSearchBar>();
        // No size: the skin gives it, after the suggestion list was made.
        const RECT placement{kBarLeft, kBarTop, 0, 0};
        ASSERT_EQ(1, bar->CreateBar(window, &placement));
        ApplyStandardSkin();
        bar->ShowBar(SW_SHOW);
        PumpUntilIdle();
        ExpectLaidOut(h.at);
        const RECT list = WindowRectOf(bar->suggestionList->m_hWnd);
        EXPECT_EQ(kBarLeft, list.left);
        EXPECT_EQ(kBarLeft + 400, list.right);
        EXPECT_EQ(0, ::GetWindowLongA(BarHwnd(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
        bar.reset();
        ::DestroyWindow(window);
        PumpUntilIdle();
    }
}

} // namespace
