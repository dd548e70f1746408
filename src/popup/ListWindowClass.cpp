// Registration of "GUI_AFXSELECT", the window class both popup lists use. It
// runs on every creation of either list; registering a class that exists
// already succeeds at once.
#include "ListWindowClass.h"

namespace {
const char kListClassName[] = "GUI_AFXSELECT";
}

void RegisterListWindowClass(CREATESTRUCT& cs) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = ::DefWindowProcA; // the framework subclasses each window
    wc.hInstance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    // No class cursor: the lists set the hand cursor on every mouse move.
    wc.lpszClassName = kListClassName;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
    cs.lpszClass = kListClassName;
}
