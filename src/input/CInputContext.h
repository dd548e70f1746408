// CInputContext: a window's input method context for the length of a scope
// (ImmGetContext on construction, ImmReleaseContext on destruction). A
// window with no context, or a system without input methods, gives a null
// one; every operation then does nothing.
#pragma once
#include <windows.h>

#include <imm.h>

class CInputContext {
public:
    explicit CInputContext(HWND window);
    ~CInputContext();
    CInputContext(const CInputContext&) = delete;
    CInputContext& operator=(const CInputContext&) = delete;

    HIMC Get() const { return context; }
    explicit operator bool() const { return context != nullptr; }
    // Ends the open composition, keeping what was composed (the result
    // messages follow at once).
    void CompleteComposition() const;

private:
    HWND window;
    HIMC context;
};
