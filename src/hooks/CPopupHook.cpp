// CPopupHook: installs and removes the three thread-local hooks (two mouse
// hooks, one keyboard hook) and holds their process-wide state. The hook
// procedures never act on a window themselves: they post UM_POPUP_CLOSE,
// UM_POPUP_KEY or UM_BAR_DEACTIVATE, so every reaction runs later in the
// thread's own message loop, after the click or key reached its window.
#include "CPopupHook.h"
#include "../frame/Messages.h"

HHOOK CPopupHook::keyboardHook = nullptr;
HHOOK CPopupHook::popupMouseHook = nullptr;
HHOOK CPopupHook::barMouseHook = nullptr;
HWND CPopupHook::popupWnd = nullptr;
HWND CPopupHook::barWnd = nullptr;

namespace {

// Bit 30 of a keyboard hook's key flags: the key was down before this
// event, which holds for a release and for every auto-repeat.
constexpr LPARAM kKeyWasDown = 0x40000000;

HHOOK InstallThreadHook(int type, HOOKPROC procedure) {
    return ::SetWindowsHookExA(type, procedure, nullptr, ::GetCurrentThreadId());
}

void RemoveHook(HHOOK& hook) {
    if (hook)
        ::UnhookWindowsHookEx(hook);
    hook = nullptr;
}

bool IsButtonPress(WPARAM mouseMessage) {
    return mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN;
}

// The cursor is read from the system rather than from the hook data, and
// tested against the client area: a press on the window's own border
// counts as outside.
bool CursorOutsideClientArea(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(window, &cursor);
    return !::PtInRect(&client, cursor);
}

void ClosePopupIfClickedOutside() {
    HWND popup = CPopupHook::popupWnd;
    if (popup && CursorOutsideClientArea(popup) && ::IsWindowVisible(popup))
        ::PostMessageA(popup, UM_POPUP_CLOSE, 0, POPUP_CLOSE_TOKEN);
}

LPARAM PopupKeyFor(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_RETURN:
    case VK_UP:
    case VK_DOWN:
        return static_cast<LPARAM>(virtualKey);
    default:
        return 0;
    }
}

} // namespace

CPopupHook::CPopupHook() = default;
CPopupHook::~CPopupHook() = default;

void CPopupHook::InstallPopupMouseHook(HWND popup) {
    popupWnd = popup;
    if (!popupMouseHook)
        popupMouseHook = InstallThreadHook(WH_MOUSE, &PopupMouseProc);
}

void CPopupHook::InstallBarMouseHook(HWND bar, HWND popup) {
    barWnd = bar;
    popupWnd = popup;
    if (!barMouseHook)
        barMouseHook = InstallThreadHook(WH_MOUSE, &BarMouseProc);
}

void CPopupHook::InstallKeyboardHook() {
    if (!keyboardHook)
        keyboardHook = InstallThreadHook(WH_KEYBOARD, &KeyboardProc);
}

void CPopupHook::RemoveKeyboardHook(HWND closing) {
    if (!closing || popupWnd == closing)
        popupWnd = nullptr;
    RemoveHook(keyboardHook);
}

void CPopupHook::ForgetDestroyedPopup() {
    if (popupWnd && !::IsWindow(popupWnd))
        popupWnd = nullptr;
}

void CPopupHook::RemoveBarMouseHook() {
    barWnd = nullptr;
    RemoveHook(barMouseHook);
}

void CPopupHook::RemovePopupMouseHook() {
    RemoveHook(popupMouseHook);
}

// Acts on a key's release and on its auto-repeats, never on the first
// press, so holding Down steps once per repeat. The key always goes on.
// Nothing here throws today; the catch keeps it so (an exception must not
// unwind through the system's frames), and the key goes on either way.
LRESULT CALLBACK CPopupHook::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == HC_ACTION && (lParam & kKeyWasDown)) {
            const LPARAM key = PopupKeyFor(wParam);
            if (key && popupWnd)
                ::PostMessageA(popupWnd, UM_POPUP_KEY, 0, key);
        }
    } catch (...) {
    }
    return ::CallNextHookEx(keyboardHook, code, wParam, lParam);
}

// Both HC_ACTION and HC_NOREMOVE are acted on: a press that a loop peeks
// at and then removes may post twice, and the second copy finds the
// popup already hidden.
LRESULT CALLBACK CPopupHook::PopupMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code >= 0 && IsButtonPress(wParam))
            ClosePopupIfClickedOutside();
    } catch (...) {
    }
    return ::CallNextHookEx(popupMouseHook, code, wParam, lParam);
}

// The bar is told of any press outside its client area, visible or not;
// then the popup is handled as by PopupMouseProc.
LRESULT CALLBACK CPopupHook::BarMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code >= 0 && IsButtonPress(wParam)) {
            if (barWnd && CursorOutsideClientArea(barWnd))
                ::PostMessageA(barWnd, UM_BAR_DEACTIVATE, 0, 0);
            ClosePopupIfClickedOutside();
        }
    } catch (...) {
    }
    return ::CallNextHookEx(barMouseHook, code, wParam, lParam);
}
