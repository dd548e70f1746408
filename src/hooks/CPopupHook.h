// CPopupHook: the thread-local mouse and keyboard hooks that close popups on
// outside clicks, deactivate the bar and carry Enter, Up and Down to the
// suggestion list. The hook procedures only post messages. All hook state is
// process-wide and shared by every instance: the last installer is notified.
#pragma once
#include <windows.h>

class CPopupHook {
public:
    CPopupHook();
    virtual ~CPopupHook();

    void InstallPopupMouseHook(HWND popup);
    void InstallBarMouseHook(HWND bar, HWND popup);
    void InstallKeyboardHook();
    // Also forgets the outside-click target, unless closing names another
    // popup than the target: a popup opened meanwhile keeps it (the click
    // on the engine icon that closes the suggestions opens the engine
    // list before the suggestions' close is handled).
    void RemoveKeyboardHook(HWND closing = nullptr);
    void RemoveBarMouseHook();
    // Forgets an outside-click target whose window is gone.
    static void ForgetDestroyedPopup();
    void RemovePopupMouseHook();

    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PopupMouseProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BarMouseProc(int code, WPARAM wParam, LPARAM lParam);

    static HHOOK keyboardHook;
    static HHOOK popupMouseHook;
    static HHOOK barMouseHook;
    static HWND popupWnd;
    static HWND barWnd;
};
