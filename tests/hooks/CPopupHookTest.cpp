// CPopupHook with real thread hooks: clicks and keys sent through SendInput
// to windows of this thread, and the private messages the hook procedures
// post, recorded by the windows that play the bar and the popup.
#include "../../src/hooks/CPopupHook.h"
#include "../../src/frame/Messages.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "Pump.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

const RecordedMessage kClose{UM_POPUP_CLOSE, 0, POPUP_CLOSE_TOKEN};
const RecordedMessage kDeactivate{UM_BAR_DEACTIVATE, 0, 0};

RecordedMessage PopupKey(WORD vk) {
    return {UM_POPUP_KEY, 0, static_cast<LPARAM>(vk)};
}

void Place(HWND window, int x, int y, int w, int h) {
    ::SetWindowPos(window, HWND_TOP, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void RemoveEveryHook() {
    CPopupHook hooks;
    hooks.RemoveKeyboardHook();
    hooks.RemoveBarMouseHook();
    hooks.RemovePopupMouseHook();
}

// A host window with two popups of this thread over it: "bar" at
// (100, 100) 300 x 30 and "popup" below it at (100, 150) 200 x 100.
class MouseHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        Place(host.hwnd(), 0, 0, 640, 480);
        Place(bar.hwnd(), 100, 100, 300, 30);
        Place(popup.hwnd(), 100, 150, 200, 100);
        BringToForeground(host.hwnd());
        WaitDoubleClickTime();
        host.Clear();
        bar.Clear();
        popup.Clear();
    }
    void TearDown() override { RemoveEveryHook(); }

    // Clicks, then waits out the double-click time so that the next click
    // at the same place arrives as a single click again.
    void Click(int x, int y, bool right = false) {
        ClickAt(x, y, right);
        WaitDoubleClickTime();
    }

    CPopupHook hook;
    MessageRecorder host;
    MessageRecorder bar{WM_USER, 0x7FFF, WS_POPUP};
    MessageRecorder popup{WM_USER, 0x7FFF, WS_POPUP};
};

TEST_F(MouseHookTest, PressOutsideVisiblePopupAsksItToClose) {
    hook.InstallPopupMouseHook(popup.hwnd());
    Click(500, 400);
    EXPECT_TRUE(popup.Matches({kClose}));
    Click(500, 400, true);
    EXPECT_TRUE(popup.Matches({kClose}));
    // The right and bottom edges of the client area count as outside.
    Click(299, 249);
    EXPECT_TRUE(popup.Matches({}));
    Click(300, 200);
    EXPECT_TRUE(popup.Matches({kClose}));
    EXPECT_TRUE(host.Matches({}));
}

TEST_F(MouseHookTest, PressInsidePopupOrWithPopupHiddenPostsNothing) {
    hook.InstallPopupMouseHook(popup.hwnd());
    Click(150, 200);
    Click(150, 200, true);
    EXPECT_TRUE(popup.Matches({}));

    ::ShowWindow(popup.hwnd(), SW_HIDE);
    Click(500, 400);
    EXPECT_TRUE(popup.Matches({}));
}

TEST_F(MouseHookTest, TitleBarPressClosesNothing) {
    hook.InstallBarMouseHook(bar.hwnd(), popup.hwnd());
    RECT frame{};
    ::GetWindowRect(host.hwnd(), &frame);
    const int x = frame.left + 450;
    const int y = frame.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    ASSERT_EQ(HTCAPTION, ::SendMessageA(host.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(x, y)));
    Click(x, y);
    EXPECT_TRUE(bar.Matches({}));
    EXPECT_TRUE(popup.Matches({}));
}

TEST_F(MouseHookTest, BarHookTellsBarAndPopupOfPressesOutsideEach) {
    struct Case {
        const char* where;
        int x, y;
        bool barTold, popupTold;
    };
    const Case cases[] = {
        {"host", 500, 400, true, true},
        {"bar", 350, 110, false, true},
        {"popup", 150, 200, true, false},
    };
    hook.InstallBarMouseHook(bar.hwnd(), popup.hwnd());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        Click(c.x, c.y);
        EXPECT_TRUE(bar.Matches(c.barTold ? std::vector<RecordedMessage>{kDeactivate}
                                          : std::vector<RecordedMessage>{}));
        EXPECT_TRUE(popup.Matches(c.popupTold ? std::vector<RecordedMessage>{kClose}
                                              : std::vector<RecordedMessage>{}));
    }
}

TEST_F(MouseHookTest, HiddenBarIsStillDeactivated) {
    hook.InstallBarMouseHook(bar.hwnd(), popup.hwnd());
    ::ShowWindow(bar.hwnd(), SW_HIDE);
    ::ShowWindow(popup.hwnd(), SW_HIDE);
    Click(500, 400);
    EXPECT_TRUE(bar.Matches({kDeactivate}));
    EXPECT_TRUE(popup.Matches({}));
}

TEST_F(MouseHookTest, SecondInstallKeepsOneHookAndNotifiesTheLastWindow) {
    hook.InstallPopupMouseHook(bar.hwnd());
    const HHOOK first = CPopupHook::popupMouseHook;
    ASSERT_NE(nullptr, first);
    CPopupHook other; // state is shared by every instance
    other.InstallPopupMouseHook(popup.hwnd());
    EXPECT_EQ(first, CPopupHook::popupMouseHook);

    Click(500, 400);
    EXPECT_TRUE(bar.Matches({}));
    EXPECT_TRUE(popup.Matches({kClose})); // one hook, so one message

    hook.InstallBarMouseHook(bar.hwnd(), popup.hwnd());
    const HHOOK barHook = CPopupHook::barMouseHook;
    hook.InstallBarMouseHook(bar.hwnd(), popup.hwnd());
    EXPECT_EQ(barHook, CPopupHook::barMouseHook);
}

TEST_F(MouseHookTest, RemovedHooksPostNothing) {
    hook.InstallBarMouseHook(bar.hwnd(), popup.hwnd());
    hook.InstallPopupMouseHook(popup.hwnd());
    hook.RemoveBarMouseHook();
    hook.RemovePopupMouseHook();
    EXPECT_EQ(nullptr, CPopupHook::barMouseHook);
    EXPECT_EQ(nullptr, CPopupHook::barWnd);
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
    EXPECT_EQ(popup.hwnd(), CPopupHook::popupWnd); // only the keyboard side forgets it
    Click(500, 400);
    EXPECT_TRUE(bar.Matches({}));
    EXPECT_TRUE(popup.Matches({}));
}

TEST(HookRemoval, RemovingWhatIsNotInstalledIsHarmless) {
    RemoveEveryHook();
    RemoveEveryHook();
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
    EXPECT_EQ(nullptr, CPopupHook::popupMouseHook);
    EXPECT_EQ(nullptr, CPopupHook::barMouseHook);
    CPopupHook hook;
    hook.InstallKeyboardHook(); // and a later install still works
    EXPECT_NE(nullptr, CPopupHook::keyboardHook);
    RemoveEveryHook();
}

// Keys pressed while the host window has the focus and the keyboard hook
// watches "popup". The host records the key messages it receives.
class KeyboardHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        Place(host.hwnd(), 0, 0, 640, 480);
        hook.InstallBarMouseHook(host.hwnd(), popup.hwnd());
        hook.InstallKeyboardHook();
        BringToForeground(host.hwnd());
        ::SetFocus(host.hwnd());
        PumpUntilIdle();
        host.Clear();
        popup.Clear();
    }
    void TearDown() override { RemoveEveryHook(); }

    // Virtual keys of the messages of one kind that reached the host.
    std::vector<WPARAM> HostKeys(UINT message) const {
        std::vector<WPARAM> keys;
        for (const RecordedMessage& m : host.Messages())
            if (m.message == message)
                keys.push_back(m.wParam);
        return keys;
    }

    CPopupHook hook;
    MessageRecorder host{WM_KEYDOWN, WM_KEYUP};
    MessageRecorder popup{WM_USER, 0x7FFF, WS_POPUP};
};

TEST_F(KeyboardHookTest, NavigationKeysArriveOnReleaseNotOnFirstPress) {
    for (WORD vk : {VK_RETURN, VK_UP, VK_DOWN}) {
        SCOPED_TRACE(vk);
        KeyDown(vk);
        EXPECT_TRUE(popup.Matches({}));
        KeyUp(vk);
        EXPECT_TRUE(popup.Matches({PopupKey(vk)}));
    }
    // The keys themselves are not swallowed.
    const std::vector<WPARAM> keys = {VK_RETURN, VK_UP, VK_DOWN};
    EXPECT_EQ(keys, HostKeys(WM_KEYDOWN));
    EXPECT_EQ(keys, HostKeys(WM_KEYUP));
}

TEST_F(KeyboardHookTest, HeldKeyArrivesOncePerRepeatAndAtRelease) {
    HoldKey(host.hwnd(), VK_DOWN, 3);
    EXPECT_TRUE(popup.Matches(
        {PopupKey(VK_DOWN), PopupKey(VK_DOWN), PopupKey(VK_DOWN), PopupKey(VK_DOWN)}));
    EXPECT_EQ(4u, HostKeys(WM_KEYDOWN).size());
}

TEST_F(KeyboardHookTest, OtherKeysPassUntouched) {
    const std::vector<WPARAM> keys = {'A', VK_LEFT, VK_ESCAPE, VK_TAB};
    for (WPARAM vk : keys) {
        KeyDown(static_cast<WORD>(vk));
        KeyUp(static_cast<WORD>(vk));
    }
    EXPECT_TRUE(popup.Matches({}));
    EXPECT_EQ(keys, HostKeys(WM_KEYDOWN));
    EXPECT_EQ(keys, HostKeys(WM_KEYUP));
}

TEST_F(KeyboardHookTest, NothingArrivesOnceRemoved) {
    hook.RemoveKeyboardHook();
    EXPECT_EQ(nullptr, CPopupHook::keyboardHook);
    EXPECT_EQ(nullptr, CPopupHook::popupWnd);
    HoldKey(host.hwnd(), VK_DOWN, 1);
    EXPECT_TRUE(popup.Matches({}));
}

} // namespace
