// Creates a bar through Tavrel.h alone and reports what it sees; exits 0
// when the bar window exists, is owned by the host and has the placement.
#include "Tavrel.h"
#include <cstdio>
#include <string>
#include <windows.h>

int main() {
    if (CInitGui::Startup() != 1) {
        std::puts("sdk_host: Startup failed");
        return 1;
    }
    HWND host = ::CreateWindowExA(0, "STATIC", "sdk host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200,
                                  nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    CTavrel* bar = CTavrel::CreateTavrel();
    const RECT placement = {10, 20, 300, 30};
    const int created = bar ? bar->CreateBar(host, &placement) : 0;
    HWND window = bar ? bar->GetWindowHandle() : nullptr;
    RECT rc{};
    ::GetWindowRect(window, &rc);
    std::string query = "unchanged";
    if (bar)
        bar->GetQueryText(query);
    const bool ok = created == 1 && ::GetParent(window) == host && rc.left == 10 &&
                    rc.top == 20 && rc.right - rc.left == 300 && query.empty();
    std::printf("sdk_host: created=%d owner-ok=%d rect=(%ld,%ld,%ld,%ld) -> %s\n", created,
                ::GetParent(window) == host, rc.left, rc.top, rc.right, rc.bottom,
                ok ? "ok" : "FAILED");
    ::DestroyWindow(host);
    CInitGui::Clearup();
    return ok ? 0 : 1;
}
