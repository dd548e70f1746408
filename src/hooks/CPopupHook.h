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
    void RemoveKeyboardHook();
    void RemoveBarMouseHook();
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
