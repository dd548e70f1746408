// CBarRelease: frees the bars the C interface takes back (TavrelDestroyBar).
// A bar is freed at once unless a frame of the library's code runs on the
// thread (CCallDepth): a host that closes a bar from a message the bar sent
// it, or from a nested message loop inside the bar's code, would otherwise
// pull the object from under that frame. Such a bar waits, and a thread
// timer frees it once the thread's message loop runs with no such frame
// left. Everything happens on the bar's own thread.
#pragma once
#include <windows.h>

class CSearchBar;

class CBarRelease {
  public:
    // Takes bar and frees it now or, while the library's code runs, later.
    static void Free(CSearchBar* bar);
    // Frees the bars waiting on this thread, unless the library's code runs
    // (TavrelCleanup: a bar must not outlive the graphics support).
    static void FreeWaiting();

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
};
