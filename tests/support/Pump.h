// Message pumping for tests: the loop runs the framework's pre-translation,
// as a host's loop does. Input reaches a thread asynchronously under X11, so
// tests pump until a condition holds instead of sleeping.
#pragma once
#include <functional>
#include <windows.h>

// Pumps until condition() holds (true) or the timeout passes (false).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000);
// Pumps until no message has arrived for quietMs, at most timeoutMs.
void PumpUntilIdle(DWORD quietMs = 50, DWORD timeoutMs = 2000);
// Handles the messages waiting now; true when there were any.
bool PumpPending();
