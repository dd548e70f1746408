// SendInput helpers for keys and the mouse, each followed by pumping until
// the thread is idle again.
#include "SyntheticInput.h"
#include "MessagePump.h"

namespace {
void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

// Absolute mouse coordinates run from 0 to 65535 across the primary screen.
void SendMouseMove(POINT screen) {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1;
    const int cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (screen.x * 65535 + cx / 2) / cx;
    input.mi.dy = (screen.y * 65535 + cy / 2) / cy;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

void Settle() {
    PumpUntilIdle(40, 1000);
}
} // namespace

void MoveMouseTo(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    SendMouseMove(screen);
    Settle();
}

void ClickAt(POINT screen) {
    MoveMouseTo(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
}

void WaitDoubleClickTime() {
    const DWORD wait = ::GetDoubleClickTime() + 50;
    const DWORD until = ::GetTickCount() + wait;
    PumpUntil([&] { return static_cast<LONG>(::GetTickCount() - until) >= 0; }, wait + 500);
}

void TapKey(WORD vk, WORD modifier) {
    if (modifier)
        SendKey(modifier, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (modifier)
        SendKey(modifier, true);
    Settle();
}

void TypeText(const char* text) {
    for (const char* p = text; *p; ++p) {
        const SHORT scan = ::VkKeyScanA(*p);
        TapKey(LOBYTE(scan), (HIBYTE(scan) & 1) ? VK_SHIFT : 0);
    }
}

void TypeUnicode(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wScan = keys[1].ki.wScan = *p;
        keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
        keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        Settle();
    }
}
