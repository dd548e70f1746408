// A window class of an extension DLL whose creation fails in
// PreCreateWindow with the framework's resource exception, and one that
// creates a child of the failing kind while handling its own WM_CREATE.
#pragma once
#include <afxwin.h>

class AFX_EXT_CLASS CThrowingWindow : public CWnd {
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};

// Creates a CThrowingWindow owned by parent; the exception leaves here.
AFX_EXT_API BOOL CreateThrowingWindow(CThrowingWindow& window, HWND parent);
