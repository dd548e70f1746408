// The scripted run's message loops, with the framework's pre-translation
// and, for the bars of the C interface's hosts, TavrelPreTranslateMessage
// (TavrelC.dll carries a framework of its own).
#include "MessagePump.h"
#include "tavrel_c.h"
#include <afxwin.h>
#include <algorithm>

namespace {
bool g_quitRequested = false;

// Handles the messages waiting now; true when there were any.
bool PumpPending() {
    bool any = false;
    MSG msg;
    while (!g_quitRequested && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        if (msg.message == WM_QUIT) {
            g_quitRequested = true;
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the application's loop
            break;
        }
        if (!AfxPreTranslateMessage(&msg) && !TavrelPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return any;
}

void WaitForMessages(DWORD milliseconds) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}
} // namespace

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (g_quitRequested)
            return false;
        if (condition())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        WaitForMessages(std::min<DWORD>(10, timeoutMs - elapsed));
    }
}

void PumpUntilIdle(DWORD quietMs, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    DWORD lastActivity = start;
    while (!g_quitRequested) {
        if (PumpPending())
            lastActivity = ::GetTickCount();
        const DWORD now = ::GetTickCount();
        if (now - lastActivity >= quietMs || now - start >= timeoutMs)
            return;
        WaitForMessages(5);
    }
}

bool QuitRequested() {
    return g_quitRequested;
}
