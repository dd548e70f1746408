// Message pumping for the scripted run. The script waits for states of the
// user interface while the messages that lead to them are handled, so it
// runs its own loop, which offers every message to the framework's
// pre-translation first exactly as the application's loop does (the bar
// sees its keys and clicks that way). A WM_QUIT met on the way ends every
// wait and is remembered, so that the application can still stop.
#pragma once
#include <functional>
#include <windows.h>

// Pumps until condition() holds (true), the timeout passes or the
// application is asked to quit (false).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Pumps until no message has arrived for quietMs, at most timeoutMs.
void PumpUntilIdle(DWORD quietMs, DWORD timeoutMs);
// True once a WM_QUIT was taken from the queue by these loops.
bool QuitRequested();
