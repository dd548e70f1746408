#include "Pump.h"
#include <afxwin.h>

bool PumpPending() {
    bool any = false;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return any;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (condition())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - elapsed),
                                    QS_ALLINPUT);
    }
}

void PumpUntilIdle(DWORD quietMs, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    DWORD lastActivity = start;
    for (;;) {
        if (PumpPending())
            lastActivity = ::GetTickCount();
        const DWORD now = ::GetTickCount();
        if (now - lastActivity >= quietMs || now - start >= timeoutMs)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}
