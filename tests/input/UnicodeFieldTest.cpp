// The query field holds any character: Unicode typed with KEYEVENTF_UNICODE
// arrives whole through this program's ANSI message loop (PeekMessageA and
// DispatchMessageA, see Pump.cpp), the narrow text gives the system's
// default character for what code page 1252 cannot hold, and text the
// field's font has no glyphs for is shown in a fallback family's font.
#include "../../src/input/CGuiEdit.h"
#include "../../src/render/CFontFallback.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "Pump.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

std::wstring WideTextOf(CGuiEdit& frame) {
    std::wstring text;
    frame.GetTextW(text);
    return text;
}

class UnicodeFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetWindowPos(bar.hwnd(), HWND_TOP, 0, 0, 500, 200, SWP_SHOWWINDOW);
        ASSERT_TRUE(frame.Create(bar.hwnd(), RECT{40, 300, 335, 26}));
        frame.ShowWindow(SW_SHOW);
        BringToForeground(bar.hwnd());
        frame.SetEditFocus();
        PumpUntil([&] { return ::GetFocus() == frame.GetEditHwnd(); });
        PumpUntilIdle();
    }

    MessageRecorder bar;
    CGuiEdit frame;
};

} // namespace

TEST_F(UnicodeFieldTest, IsAUnicodeWindow) {
    EXPECT_TRUE(::IsWindowUnicode(frame.GetEditHwnd()));
}

TEST_F(UnicodeFieldTest, TypedUnicodeArrivesWholeThroughAnAnsiLoop) {
    const std::wstring typed = L"Привет 東京 café \U0001F600";
    TypeUnicodeIntoFocus(typed);
    EXPECT_TRUE(PumpUntil([&] { return WideTextOf(frame) == typed; }))
        << "field holds " << WideTextOf(frame).size() << " units";
    CString narrow;
    frame.GetText(narrow);
    // Code page 1252, default character '?' (the character beyond the BMP
    // left aside: a system may give one '?' for it or two).
    EXPECT_EQ("?????? ?? caf\xE9 ", narrow.Str().substr(0, 15));
}

TEST_F(UnicodeFieldTest, TextWithoutGlyphsGetsAFallbackFont) {
    frame.suppressNotify = 1;
    frame.SetTextW(L"東京タワー");
    frame.suppressNotify = 0;
    ASSERT_TRUE(PumpUntil([&] { return !frame.fallbackFamily.empty(); }));
    EXPECT_EQ(0, CFontFallback::MissingGlyphs(frame.fallbackFamily, L"東京タワー"));
    EXPECT_EQ(reinterpret_cast<LRESULT>(frame.fallbackFont),
              ::SendMessageW(frame.GetEditHwnd(), WM_GETFONT, 0, 0));

    frame.SetTextW(L"plain again");
    ASSERT_TRUE(PumpUntil([&] { return frame.fallbackFamily.empty(); }));
    EXPECT_EQ(reinterpret_cast<LRESULT>(frame.font),
              ::SendMessageW(frame.GetEditHwnd(), WM_GETFONT, 0, 0));
}

TEST_F(UnicodeFieldTest, PastedUnicodeArrivesWhole) {
    const std::wstring pasted = L"東京 Привет";
    ASSERT_TRUE(::OpenClipboard(bar.hwnd()));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(nullptr, memory);
    std::copy(pasted.c_str(), pasted.c_str() + pasted.size() + 1,
              static_cast<wchar_t*>(::GlobalLock(memory)));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
    ::SendMessageW(frame.GetEditHwnd(), WM_PASTE, 0, 0);
    EXPECT_EQ(pasted, WideTextOf(frame));
}
