// InputArrival: waits until input sent with SendInput has reached this
// thread. Under Wine the events travel through the X server, so how long
// they take depends on the machine's load; pumping until the queue has been
// quiet for a moment returns too early on a slow machine. Thread hooks,
// installed for the lifetime of one object, count the events as the thread
// takes them from its queue (the moment the bar's own hooks see them too).
#pragma once
#include <windows.h>

class InputArrival {
public:
    InputArrival();
    ~InputArrival();
    InputArrival(const InputArrival&) = delete;
    InputArrival& operator=(const InputArrival&) = delete;

    // Pumps until this many key events (presses and releases) and button
    // releases have arrived since construction, or the timeout passes. Input
    // aimed at another thread's window never arrives here: the wait then
    // ends at the timeout, and the helpers go on as before.
    bool WaitFor(int keyEvents, int buttonReleases, DWORD timeoutMs = 5000);

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
    static int keyEvents;
    static int buttonReleases;
    HHOOK keyboardHook = nullptr;
    HHOOK mouseHook = nullptr;
};
