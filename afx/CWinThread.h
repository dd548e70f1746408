// CWinThread: the message loop. Each message is offered to the framework's
// pre-translation before it is translated and dispatched.
#pragma once
#include "CWnd.h"

class AFX_CORE_API CWinThread {
public:
    CWinThread();
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Pumps until WM_QUIT; returns ExitInstance's result.
    virtual int Run();
    // Retrieves and handles one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};
};
