// CWinApp: the one application object of a program. Its constructor makes
// it the object that AfxGetApp returns; AfxWinMain runs it.
#pragma once
#include "CWinThread.h"

class AFX_CORE_API CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
};

AFX_CORE_API CWinApp* AFXAPI AfxGetApp();
// Initialises and runs the application object; the program's WinMain
// (supplied by the afxmain library) calls it.
AFX_CORE_API int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine,
                                   int nCmdShow);
