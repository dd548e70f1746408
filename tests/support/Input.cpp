#include "Input.h"
#include "InputArrival.h"
#include "Pump.h"

namespace {

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1;
        const int cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
        input.mi.dx = (x * 65535 + cx / 2) / cx;
        input.mi.dy = (y * 65535 + cy / 2) / cy;
        flags |= MOUSEEVENTF_ABSOLUTE;
    }
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

// Lets the posted chain that input started run to its end.
void Settle() {
    PumpUntilIdle(40, 1000);
}

// Waits until the events sent since `arrival` was made have reached this
// thread, then lets what they posted run.
void SettleAfter(InputArrival& arrival, int keyEvents, int buttonReleases) {
    arrival.WaitFor(keyEvents, buttonReleases);
    Settle();
}

} // namespace

void BringToForeground(HWND window) {
    // The top-level window that holds the target: for a control in an owned
    // popup that is the popup, not its owner, whose activation would raise
    // the owner over the popup under Wine.
    HWND root = ::GetAncestor(window, GA_ROOT);
    if (!root)
        root = window;
    HWND focus = ::GetFocus();
    if (::GetForegroundWindow() != root) {
        ::SetForegroundWindow(root);
        PumpUntil([&] { return ::GetForegroundWindow() == root; }, 1000);
    }
    // Activation moves the focus to the top-level window; give it back to
    // the control that had it, or to the target control.
    if (window != root)
        ::SetFocus(window);
    else if (focus && ::GetAncestor(focus, GA_ROOT) == root)
        ::SetFocus(focus);
    Settle();
}

void KeyDown(WORD vk) {
    InputArrival arrival;
    SendKey(vk, false);
    SettleAfter(arrival, 1, 0);
}

void KeyUp(WORD vk) {
    InputArrival arrival;
    SendKey(vk, true);
    SettleAfter(arrival, 1, 0);
}

void TypeText(HWND window, const char* text) {
    BringToForeground(window);
    for (const char* p = text; *p; ++p) {
        const SHORT scan = ::VkKeyScanA(*p);
        const WORD vk = LOBYTE(scan);
        const bool shift = HIBYTE(scan) & 1;
        InputArrival arrival;
        if (shift)
            SendKey(VK_SHIFT, false);
        SendKey(vk, false);
        SendKey(vk, true);
        if (shift)
            SendKey(VK_SHIFT, true);
        SettleAfter(arrival, shift ? 4 : 2, 0);
    }
}

void PressKey(HWND window, WORD vk) {
    BringToForeground(window);
    InputArrival arrival;
    SendKey(vk, false);
    SendKey(vk, true);
    SettleAfter(arrival, 2, 0);
}

void HoldKey(HWND window, WORD vk, int repeats) {
    BringToForeground(window);
    InputArrival arrival;
    SendKey(vk, false);
    SettleAfter(arrival, 1, 0);
    for (int i = 0; i < repeats; ++i) {
        SendKey(vk, false); // a press while down arrives as an auto-repeat
        SettleAfter(arrival, 2 + i, 0);
    }
    SendKey(vk, true);
    SettleAfter(arrival, 2 + repeats, 0);
}

void MoveMouseTo(int x, int y) {
    ::SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_MOVE, x, y);
    Settle();
}

void ClickAt(int x, int y, bool right) {
    MoveMouseTo(x, y);
    InputArrival arrival;
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    SettleAfter(arrival, 0, 1);
}

void WaitDoubleClickTime() {
    const DWORD until = ::GetTickCount() + ::GetDoubleClickTime() + 50;
    PumpUntil([&] { return static_cast<LONG>(::GetTickCount() - until) >= 0; },
              ::GetDoubleClickTime() + 500);
}

void SendUnicodeKey(wchar_t ch) {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wScan = keys[1].ki.wScan = ch;
    keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
    keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
}

void TypeUnicodeIntoFocus(const std::wstring& text) {
    for (const wchar_t ch : text) {
        InputArrival arrival;
        SendUnicodeKey(ch);
        SettleAfter(arrival, 2, 0);
    }
}
