// Message maps: the right handler with the right arguments, fallback to the
// base class's map, and Default() reaching the original window procedure.
#include "AfxTestWindows.h"
#include "Input.h"
#include "MessageRecorder.h"
#include "Pump.h"
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

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

// A window whose handlers throw what library code can throw: the standard
// library's exceptions, the framework's, anything else.
constexpr UINT WM_TEST_THROW = WM_USER + 8;

class CThrowingHandlers : public CBaseTestWnd {
public:
    int paints = 0;
    BOOL PreTranslateMessage(MSG*) override { throw std::bad_alloc(); }

protected:
    afx_msg LRESULT OnThrow(WPARAM kind, LPARAM) {
        switch (kind) {
        case 0:
            throw std::bad_alloc();
        case 1:
            throw std::runtime_error("handler failed");
        case 2:
            throw new CResourceException();
        default:
            throw 7;
        }
    }
    afx_msg void OnPaint() {
        ++paints;
        throw std::length_error("paint failed");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingHandlers, CBaseTestWnd)
    ON_MESSAGE(WM_TEST_THROW, OnThrow)
    ON_WM_PAINT()
END_MESSAGE_MAP()

// Nothing a handler throws unwinds through the system's frames: the message
// gets its default result, a failed paint is validated (no endless repaint),
// a failed pre-translation lets the message be dispatched, and the window
// keeps working.
TEST(AfxDispatch, NoExceptionLeavesAWindowProcedure) {
    CThrowingHandlers wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    for (WPARAM kind = 0; kind < 4; ++kind) {
        EXPECT_EQ(0, ::SendMessageA(wnd.m_hWnd, WM_TEST_THROW, kind, 0)) << kind;
        ::PostMessageA(wnd.m_hWnd, WM_TEST_THROW, kind, 0);
    }
    MSG posted{};
    int dispatched = 0;
    while (::PeekMessageA(&posted, wnd.m_hWnd, WM_TEST_THROW, WM_TEST_THROW, PM_REMOVE)) {
        EXPECT_FALSE(AfxPreTranslateMessage(&posted));
        ::DispatchMessageA(&posted);
        ++dispatched;
    }
    EXPECT_EQ(4, dispatched);
    wnd.ShowWindow(SW_SHOWNOACTIVATE);
    wnd.Invalidate();
    ::UpdateWindow(wnd.m_hWnd);
    EXPECT_EQ(1, wnd.paints);
    EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, nullptr, FALSE));
    EXPECT_EQ(42, ::SendMessageA(wnd.m_hWnd, WM_TEST_PING, 1, 2));
}
