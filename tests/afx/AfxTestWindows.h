// Framework windows used by the framework's own tests: each records what its
// handlers received.
#pragma once
#include <afxwin.h>
#include <string>
#include <vector>

inline const char* TestClassName() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.lpszClassName = "AFX_TEST_WINDOW";
        AfxRegisterClass(&wc);
        return "AFX_TEST_WINDOW";
    }();
    return name;
}

constexpr UINT WM_TEST_PING = WM_USER + 7;

class CBaseTestWnd : public CWnd {
public:
    BOOL CreatePopup(HWND owner = nullptr, int x = 0, int y = 0, int w = 100, int h = 50) {
        return CreateEx(WS_EX_TOOLWINDOW, TestClassName(), "test", WS_POPUP, x, y, w, h, owner,
                        nullptr);
    }
    std::vector<std::string> calls;
    CPoint lastPoint;
    UINT lastFlags = 0;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
    int createResult = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs) {
        calls.push_back(std::string("create:") + (cs && cs->lpszName ? cs->lpszName : ""));
        if (CWnd::OnCreate(cs) == -1)
            return -1;
        return createResult;
    }
    afx_msg void OnLButtonDown(UINT flags, CPoint point) {
        calls.push_back("base-lbutton");
        lastFlags = flags;
        lastPoint = point;
        CWnd::OnLButtonDown(flags, point);
    }
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM lParam) {
        calls.push_back("ping");
        lastWParam = wParam;
        lastLParam = lParam;
        return 42;
    }
    DECLARE_MESSAGE_MAP()
};

class CDerivedTestWnd : public CBaseTestWnd {
protected:
    afx_msg void OnMouseMove(UINT flags, CPoint point) {
        calls.push_back("derived-move");
        lastFlags = flags;
        lastPoint = point;
    }
    DECLARE_MESSAGE_MAP()
};
