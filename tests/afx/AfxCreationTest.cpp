// Window creation and destruction: refusal from OnCreate, the handle map's
// lifetime, class registration and the resource exception across DLLs.
#include "AfxTestWindows.h"
#include "probe/ProbeWindow.h"
#include <gtest/gtest.h>

TEST(AfxCreation, OnCreateReturningMinusOneFailsCreateEx) {
    CBaseTestWnd wnd;
    wnd.createResult = -1;
    EXPECT_FALSE(wnd.CreatePopup());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(1u, wnd.calls.size()); // OnCreate ran, then creation was refused
}

TEST(AfxCreation, HandleMapForgetsDestroyedWindows) {
    CBaseTestWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup());
    HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(hWnd));
    ::DestroyWindow(hWnd); // destroyed behind the object's back
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(AfxCreation, DestructorDestroysALiveWindow) {
    HWND hWnd;
    {
        CBaseTestWnd wnd;
        ASSERT_TRUE(wnd.CreatePopup());
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST(AfxCreation, FromHandleWrapsForeignWindowsWithoutOwningThem) {
    HWND plain = ::CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(nullptr, temporary);
    EXPECT_EQ(plain, temporary->m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));
    EXPECT_EQ(temporary, CWnd::FromHandle(plain));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    ::DestroyWindow(plain);
}

TEST(AfxCreation, OwnedPopupReportsItsOwnerAsParent) {
    CBaseTestWnd owner, popup;
    ASSERT_TRUE(owner.CreatePopup());
    ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, TestClassName(), nullptr, WS_POPUP | WS_CHILD, 0,
                               0, 10, 10, owner.m_hWnd, nullptr));
    EXPECT_EQ(&owner, popup.GetParent());
}

TEST(AfxCreation, RegisterClassTwiceSucceeds) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = "AFX_TWICE";
    EXPECT_TRUE(AfxRegisterClass(&wc));
    EXPECT_TRUE(AfxRegisterClass(&wc));
    WNDCLASSA broken{};
    EXPECT_FALSE(AfxRegisterClass(&broken)); // no name, no procedure
}

TEST(AfxCreation, ResourceExceptionFromAnExtensionDllReachesTheHost) {
    CThrowingWindow window;
    bool caught = false;
    try {
        CreateThrowingWindow(window, nullptr);
    } catch (CResourceException* e) {
        caught = true;
        e->Delete();
    }
    EXPECT_TRUE(caught);
    EXPECT_EQ(nullptr, window.m_hWnd);
}

class CCreatesThrowingChild : public CBaseTestWnd {
public:
    CThrowingWindow child;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) {
        CreateThrowingWindow(child, m_hWnd);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCreatesThrowingChild, CBaseTestWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(AfxCreation, ExceptionInsideAWindowProcedureFailsThatCreation) {
    // The exception must not unwind through the system's frames; the
    // framework turns it into a refused creation.
    CCreatesThrowingChild parent;
    EXPECT_FALSE(parent.CreatePopup());
}
