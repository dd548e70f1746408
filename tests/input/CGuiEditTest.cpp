// CGuiEdit under a recording owner that plays the bar: typed text and
// SetText turn into UM_EDIT_UPDATED unless suppressed, the field keeps the
// focus, SetSize lets the edit control cover the frame, and MoveTo keeps a
// window's size.
#include "../../src/input/CGuiEdit.h"
#include "../../src/frame/Messages.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "Pump.h"
#include <gtest/gtest.h>
#include <ostream>
#include <string>

static bool operator==(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != 0;
}
static void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

const RecordedMessage kEditUpdated{UM_EDIT_UPDATED, 0, 1};

std::string TextOf(CGuiEdit& frame) {
    CString text;
    frame.GetText(text);
    return text.Str();
}

// Keys go to the window with the focus; the helpers in Input.h would move
// the focus to the owner window first.
void TypeIntoFocus(const char* text) {
    for (const char* p = text; *p; ++p) {
        const WORD vk = LOBYTE(::VkKeyScanA(*p));
        KeyDown(vk);
        KeyUp(vk);
    }
}

class GuiEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetWindowPos(bar.hwnd(), HWND_TOP, 0, 0, 500, 200, SWP_SHOWWINDOW);
        ASSERT_TRUE(frame.Create(bar.hwnd(), RECT{40, 300, 335, 26}));
        frame.ShowWindow(SW_SHOW);
        BringToForeground(bar.hwnd());
        frame.SetEditFocus();
        PumpUntil([&] { return ::GetFocus() == frame.GetEditHwnd(); });
        PumpUntilIdle();
        bar.Clear();
    }

    MessageRecorder bar;
    CGuiEdit frame;
};

TEST_F(GuiEditTest, CreatesOwnedFrameWithFieldAtItsPlacement) {
    EXPECT_EQ(bar.hwnd(), ::GetParent(frame.m_hWnd));
    RECT rect{};
    frame.GetWindowRect(&rect);
    EXPECT_EQ((RECT{40, 300, 375, 326}), rect);
    ASSERT_NE(nullptr, frame.GetEditHwnd());
    EXPECT_EQ(frame.m_hWnd, ::GetParent(frame.GetEditHwnd()));
    EXPECT_EQ(100, ::GetDlgCtrlID(frame.GetEditHwnd()));
}

TEST_F(GuiEditTest, EachTypedChangePostsOneUpdateAndFieldKeepsFocus) {
    TypeIntoFocus("abc");
    EXPECT_EQ("abc", TextOf(frame));
    EXPECT_TRUE(bar.Matches({kEditUpdated, kEditUpdated, kEditUpdated}));
    EXPECT_EQ(frame.GetEditHwnd(), ::GetFocus());

    KeyDown(VK_LEFT); // moves the caret, changes no text
    KeyUp(VK_LEFT);
    EXPECT_TRUE(bar.Matches({}));
}

TEST_F(GuiEditTest, SetTextNotifiesUnlessSuppressed) {
    frame.SetText("loud");
    PumpUntilIdle();
    EXPECT_TRUE(bar.Matches({kEditUpdated}));

    frame.suppressNotify = 1;
    frame.SetText("quiet words");
    frame.suppressNotify = 0;
    PumpUntilIdle();
    EXPECT_TRUE(bar.Matches({}));
    EXPECT_EQ("quiet words", TextOf(frame));
    DWORD start = 0, end = 0;
    ::SendMessageA(frame.GetEditHwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(11u, start); // caret after the last character, nothing selected
    EXPECT_EQ(11u, end);

    frame.suppressNotify = 1;
    frame.SetText("");
    frame.suppressNotify = 0;
    EXPECT_EQ("", TextOf(frame));
}

TEST_F(GuiEditTest, SuppressedUpdateStillGivesTheFieldTheFocus) {
    ::SetFocus(bar.hwnd());
    frame.suppressNotify = 1;
    frame.SetText("x");
    frame.suppressNotify = 0;
    EXPECT_EQ(frame.GetEditHwnd(), ::GetFocus());
}

TEST_F(GuiEditTest, SetSizeMakesTheFieldCoverTheFrame) {
    frame.SetSize(240, 14);
    RECT frameRect{}, editRect{}, editClient{};
    frame.GetWindowRect(&frameRect);
    ::GetWindowRect(frame.GetEditHwnd(), &editRect);
    ::GetClientRect(frame.GetEditHwnd(), &editClient);
    EXPECT_EQ((RECT{40, 300, 280, 314}), frameRect); // resized, not moved
    EXPECT_EQ(frameRect, editRect);
    EXPECT_EQ((RECT{0, 0, 240, 14}), editClient);
    EXPECT_EQ(240, frame.width);
    EXPECT_EQ(14, frame.height);
}

TEST(GuiEditWithoutWindow, OperationsLeaveEverythingAlone) {
    CGuiEdit frame;
    CString text("kept");
    frame.GetText(text);
    EXPECT_STREQ("kept", text);
    frame.SetText("ignored");
    frame.SetEditFocus();
    EXPECT_EQ(nullptr, frame.GetEditHwnd());
}

TEST(MoveTo, KeepsTheWindowSizeWhereverItGoes) {
    MessageRecorder window(WM_USER, 0x7FFF, WS_POPUP);
    ::SetWindowPos(window.hwnd(), nullptr, 10, 20, 123, 45, SWP_NOZORDER | SWP_NOACTIVATE);
    CWnd* wnd = CWnd::FromHandle(window.hwnd());
    const POINT targets[] = {{0, 0}, {300, 400}, {-50, -60}, {2000, 5}};
    for (const POINT& to : targets) {
        MoveTo(wnd, to.x, to.y);
        RECT rect{};
        ::GetWindowRect(window.hwnd(), &rect);
        EXPECT_EQ((RECT{to.x, to.y, to.x + 123, to.y + 45}), rect);
    }
}

} // namespace
