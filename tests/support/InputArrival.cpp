#include "InputArrival.h"
#include "Pump.h"
#include <cstdio>

int InputArrival::keyEvents = 0;
int InputArrival::buttonReleases = 0;

InputArrival::InputArrival() {
    keyEvents = 0;
    buttonReleases = 0;
    const DWORD thread = ::GetCurrentThreadId();
    keyboardHook = ::SetWindowsHookExA(WH_KEYBOARD, &KeyboardProc, nullptr, thread);
    mouseHook = ::SetWindowsHookExA(WH_MOUSE, &MouseProc, nullptr, thread);
}

InputArrival::~InputArrival() {
    if (mouseHook)
        ::UnhookWindowsHookEx(mouseHook);
    if (keyboardHook)
        ::UnhookWindowsHookEx(keyboardHook);
}

bool InputArrival::WaitFor(int keys, int releases, DWORD timeoutMs) {
    if (!keyboardHook || !mouseHook)
        return false;
    const bool arrived =
        PumpUntil([=] { return keyEvents >= keys && buttonReleases >= releases; }, timeoutMs);
    // Said on the test's output, so that a failure after it is read as input
    // that went elsewhere (or never came), not as the bar's fault.
    if (!arrived)
        std::fprintf(stderr, "input: %d of %d key events and %d of %d button releases arrived in %lu ms\n",
                     keyEvents, keys, buttonReleases, releases, static_cast<unsigned long>(timeoutMs));
    return arrived;
}

LRESULT CALLBACK InputArrival::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION)
        ++keyEvents;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputArrival::MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        switch (wParam) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_NCLBUTTONUP:
        case WM_NCRBUTTONUP:
            ++buttonReleases;
            break;
        default:
            break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
