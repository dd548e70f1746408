// Real user input for the scripted run, sent with SendInput so that it
// takes the same path as a person's: the system's input queue, the thread
// hooks, the framework's pre-translation and the windows. Input arrives
// asynchronously (under X11 even more so), so each helper pumps until the
// thread has taken the input and the chain of posted messages has run.
#pragma once
#include <windows.h>

void MoveMouseTo(POINT screen);
// A left click at a screen point.
void ClickAt(POINT screen);
// Waits out the double-click time, so that the next click at a spot that
// was clicked before arrives as a single click.
void WaitDoubleClickTime();
// Presses and releases a virtual key, optionally with a modifier held.
void TapKey(WORD vk, WORD modifier = 0);
// Types ASCII text into the window that has the keyboard focus.
void TypeText(const char* text);
// Types UTF-16 text with KEYEVENTF_UNICODE, as input methods do.
void TypeUnicode(const wchar_t* text);
