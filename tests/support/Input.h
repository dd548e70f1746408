// Real input through SendInput. Each helper first brings the target window's
// top-level window to the foreground (without it Wine drops keyboard input),
// then sends the events and pumps until the thread has taken them (by count,
// see InputArrival.h) and what they posted has run.
#pragma once
#include <string>
#include <windows.h>

// Makes the top-level window holding `window` the foreground window; the
// focus goes to `window` when it is a control, else stays where it was
// inside that top-level window.
void BringToForeground(HWND window);
// Types ASCII text into the window that has the focus (window is brought to
// the foreground first).
void TypeText(HWND window, const char* text);
// Types UTF-16 text with KEYEVENTF_UNICODE into the window that has the
// focus, as input methods and on-screen keyboards do; the focus and the
// foreground stay where they are.
void TypeUnicodeIntoFocus(const std::wstring& text);
// Sends one character's press and release with KEYEVENTF_UNICODE and
// returns at once, without waiting for them to arrive.
void SendUnicodeKey(wchar_t ch);
// Presses and releases a virtual key.
void PressKey(HWND window, WORD vk);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
// Holds a key: one press, repeats auto-repeat presses, then the release.
void HoldKey(HWND window, WORD vk, int repeats);
// Moves the pointer to a screen point.
void MoveMouseTo(int x, int y);
// Left (or right) click at a screen point.
void ClickAt(int x, int y, bool right = false);
// Waits out the double-click time so the next click at one spot is single.
void WaitDoubleClickTime();
