#include "ProbeWindow.h"

BOOL CThrowingWindow::PreCreateWindow(CREATESTRUCT&) {
    AfxThrowResourceException();
}

BOOL CreateThrowingWindow(CThrowingWindow& window, HWND parent) {
    return window.CreateEx(WS_EX_TOOLWINDOW, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, parent,
                           nullptr);
}
