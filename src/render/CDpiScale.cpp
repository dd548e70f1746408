// CDpiScale: reading a window's DPI. GetDpiForWindow exists from Windows 10
// 1607 on; older systems have one DPI for every window, and the bar keeps
// its 96-DPI sizes there, as a host that is not DPI-aware sees it anyway.
#include "CDpiScale.h"

namespace {
typedef UINT(WINAPI* GetDpiForWindowFn)(HWND);

GetDpiForWindowFn LookUpGetDpiForWindow() {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    if (!user32)
        return nullptr;
    // Through void*: the looked-up address has FARPROC's generic type.
    return reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")));
}
} // namespace

CDpiScale CDpiScale::OfWindow(HWND window) {
    static const GetDpiForWindowFn getDpiForWindow = LookUpGetDpiForWindow();
    if (!window || !getDpiForWindow)
        return CDpiScale();
    return CDpiScale(static_cast<int>(getDpiForWindow(window)));
}
