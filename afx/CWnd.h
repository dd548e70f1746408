// CWnd: a window object bound to an HWND. Windows made by CreateEx are
// subclassed while CreateWindowEx runs (a CBT hook catches HCBT_CREATEWND),
// so the object sees WM_NCCREATE and WM_CREATE through its message map; a
// window made elsewhere is bound by SubclassWindow. The binding ends at
// WM_NCDESTROY. A Unicode window stays Unicode: it is subclassed, and its
// messages passed on, with the wide functions. One process-wide handle map serves every
// module, so a host's message loop reaches the library's windows.
#pragma once
#include "AfxDefs.h"
#include "AfxMsgMap.h"
#include "CDC.h"
#include "CRect.h"
#include "CString.h"

// <windowsx.h> defines SubclassWindow as a macro; the framework's member
// takes the name, as in the real framework.
#ifdef SubclassWindow
#undef SubclassWindow
#endif

class AFX_CORE_API CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Permanent object bound to hWnd, or null.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    // Permanent object, or else a temporary wrapper that the framework owns
    // and discards once its window is gone. Null for a null handle.
    static CWnd* PASCAL FromHandle(HWND hWnd);

    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();
    // Binds this object to an existing window that no object holds yet, so
    // that its messages reach the object's message map from now on.
    BOOL SubclassWindow(HWND hWnd);

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called after WM_NCDESTROY, once the window is unbound.
    virtual void PostNcDestroy();

    // Runs the original window procedure on the message being handled.
    LRESULT Default();

    BOOL ShowWindow(int nCmdShow);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    BOOL IsWindowVisible() const;
    CWnd* GetParent() const;
    CWnd* SetFocus();
    void GetWindowText(CString& rString) const;
    void SetWindowText(LPCSTR lpszString);
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
    DWORD GetExStyle() const;
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Message map machinery; public so that the window procedure and the
    // map tables can reach it.
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Finds the map entry for the message; returns TRUE when one handled it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);

public:
    // Window procedure that was replaced when the window was bound.
    WNDPROC m_pfnSuper = nullptr;
};

// Offers a message to the framework windows from its target up through
// ::GetParent; TRUE when one of them consumed it. A host's message loop
// calls it before TranslateMessage and DispatchMessage.
AFX_CORE_API BOOL AFXAPI AfxPreTranslateMessage(MSG* pMsg);
// Succeeds at once when the class already exists for that instance.
AFX_CORE_API BOOL AFXAPI AfxRegisterClass(WNDCLASSA* lpWndClass);
