#include "CBarRelease.h"

#include "../src/bar/CSearchBar.h"
#include "../src/frame/CCallDepth.h"

#include <vector>

namespace {
thread_local std::vector<CSearchBar*> t_waiting;
thread_local UINT_PTR t_timer = 0;
} // namespace

void CBarRelease::Free(CSearchBar* bar) {
    if (!CCallDepth::Active()) {
        delete bar;
        return;
    }
    t_waiting.push_back(bar);
    if (!t_timer)
        t_timer = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &OnTimer);
}

void CBarRelease::FreeWaiting() {
    if (CCallDepth::Active())
        return;
    if (t_timer)
        ::KillTimer(nullptr, t_timer);
    t_timer = 0;
    // Taken first: a host may destroy other bars while these go.
    std::vector<CSearchBar*> freed;
    freed.swap(t_waiting);
    for (CSearchBar* bar : freed)
        delete bar;
}

// Called from the thread's message loop; it tries again on the next tick
// while a nested loop inside the library's code runs.
void CALLBACK CBarRelease::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    FreeWaiting();
}
