// Pre-translation walks from a message's target up through GetParent, which
// for an owned popup is its owner, until a window consumes the message.
#include "AfxTestWindows.h"
#include "Pump.h"
#include <gtest/gtest.h>

namespace {
class CTranslatingWnd : public CBaseTestWnd {
public:
    std::vector<HWND> seen;
    BOOL consume = FALSE;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_TEST_PING)
            seen.push_back(pMsg->hwnd);
        return pMsg->message == WM_TEST_PING && consume;
    }
};
} // namespace

TEST(AfxPreTranslate, ReachesTheOwnerThroughAnOwnedPopupFrame) {
    CTranslatingWnd owner, frame;
    ASSERT_TRUE(owner.CreatePopup());
    ASSERT_TRUE(frame.CreateEx(WS_EX_TOOLWINDOW, TestClassName(), nullptr, WS_POPUP | WS_CHILD, 0,
                               0, 100, 30, owner.m_hWnd, nullptr));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 30), &frame, 100));

    MSG msg{};
    msg.hwnd = edit.m_hWnd;
    msg.message = WM_TEST_PING;
    EXPECT_FALSE(AfxPreTranslateMessage(&msg));
    EXPECT_EQ(std::vector<HWND>{edit.m_hWnd}, frame.seen);
    EXPECT_EQ(std::vector<HWND>{edit.m_hWnd}, owner.seen);

    frame.consume = TRUE;
    owner.seen.clear();
    EXPECT_TRUE(AfxPreTranslateMessage(&msg));
    EXPECT_TRUE(owner.seen.empty()); // the frame consumed it first
}

TEST(AfxPreTranslate, ThreadPumpOffersPostedMessagesBeforeDispatch) {
    CTranslatingWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    wnd.consume = TRUE;
    ::PostMessageA(wnd.m_hWnd, WM_TEST_PING, 1, 2);
    ASSERT_TRUE(PumpUntil([&] { return !wnd.seen.empty(); }));
    PumpUntilIdle();
    EXPECT_EQ(0u, std::count(wnd.calls.begin(), wnd.calls.end(), "ping")); // consumed

    CWinThread thread;
    wnd.consume = FALSE;
    ::PostMessageA(wnd.m_hWnd, WM_TEST_PING, 1, 2);
    ASSERT_TRUE(thread.PumpMessage());
    EXPECT_EQ(1, std::count(wnd.calls.begin(), wnd.calls.end(), "ping"));
}
