// Message maps: the right handler with the right arguments, fallback to the
// base class's map, and Default() reaching the original window procedure.
#include "AfxTestWindows.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "Pump.h"
#include <gtest/gtest.h>

TEST(AfxDispatch, HandlerReceivesUnpackedArguments) {
    CBaseTestWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    EXPECT_EQ(42, ::SendMessageA(wnd.m_hWnd, WM_TEST_PING, 5, 9));
    EXPECT_EQ(5u, wnd.lastWParam);
    EXPECT_EQ(9, wnd.lastLParam);

    // Negative client coordinates survive the unpacking.
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 17));
    EXPECT_EQ(CPoint(-3, 17), wnd.lastPoint);
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON), wnd.lastFlags);
}

TEST(AfxDispatch, DerivedMapFallsBackToBase) {
    CDerivedTestWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    wnd.calls.clear();
    ::SendMessageA(wnd.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(4, 5));
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 2));
    EXPECT_EQ(42, ::SendMessageA(wnd.m_hWnd, WM_TEST_PING, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"derived-move", "base-lbutton", "ping"}), wnd.calls);
}

TEST(AfxDispatch, OnCreateRunsThroughTheMapBeforeCreateExReturns) {
    CBaseTestWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    ASSERT_EQ(1u, wnd.calls.size());
    EXPECT_EQ("create:test", wnd.calls[0]);
}

TEST(AfxDispatch, UnmappedMessagesReachTheOriginalProcedure) {
    CBaseTestWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    // DefWindowProc answers WM_SETTEXT / WM_GETTEXT itself.
    wnd.SetWindowText("hello");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(std::string("hello"), text.Str());
}

class EditHost : public CBaseTestWnd {
public:
    CEdit edit;
    int updates = 0;

protected:
    afx_msg void OnEditUpdate() { ++updates; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EditHost, CBaseTestWnd)
    ON_EN_UPDATE(100, OnEditUpdate)
END_MESSAGE_MAP()

TEST(AfxDispatch, FrameworkEditTakesTypedTextAndNotifiesItsParent) {
    EditHost host;
    ASSERT_TRUE(host.CreatePopup(nullptr, 50, 50, 200, 40));
    ASSERT_TRUE(host.edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 200, 30),
                                 &host, 100));
    EXPECT_EQ(&host.edit, CWnd::FromHandlePermanent(host.edit.m_hWnd));
    host.ShowWindow(SW_SHOW);
    BringToForeground(host.m_hWnd);
    host.edit.SetFocus();
    TypeText(host.m_hWnd, "abc");
    ASSERT_TRUE(PumpUntil([&] { return host.updates >= 3; }));
    CString text;
    host.edit.GetWindowText(text);
    EXPECT_EQ(std::string("abc"), text.Str());
    EXPECT_EQ(3, host.updates);

    // A notification from another control id is not this handler's.
    ::SendMessageA(host.m_hWnd, WM_COMMAND, MAKEWPARAM(101, EN_UPDATE), 0);
    EXPECT_EQ(3, host.updates);
}
