#include <windows.h>
#include <stdlib.h>
#include "tavrel_c.h"

static TavrelBar* bar;

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WCHAR query[200], row[220];
    switch (message) {
    case TAVREL_UM_QUERY_CHANGED: /* the user typed: offer two rows */
        TavrelGetQueryTextW(bar, query, 200);
        TavrelClearSuggestions(bar);
        wsprintfW(row, L"%s news", query), TavrelAddSuggestionW(bar, row);
        wsprintfW(row, L"%s maps", query), TavrelAddSuggestionW(bar, row);
        TavrelShowSuggestions(bar);
        return 0;
    case WM_TIMER: /* "host 3000" closes itself after 3 s */
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        TavrelDestroyBar(bar);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int main(int argc, char** argv) {
    WNDCLASSW wc = {0, HostProc, 0, 0, GetModuleHandleW(NULL), NULL, NULL, NULL, NULL, L"Host"};
    RECT place = {120, 140, 400, 30}; /* x, y, width, height on the screen */
    MSG msg;
    HWND host;
    RegisterClassW(&wc);
    host = CreateWindowW(L"Host", L"My program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600,
                         300, NULL, NULL, wc.hInstance, NULL);
    if (!TavrelStartup() || !(bar = TavrelCreate()) || !TavrelCreateBar(bar, host, &place))
        return 1;
    TavrelSetBackgroundImageW(bar, L"skin\\bar.png", 4); /* your own pictures */
    TavrelSetEngineIconImageW(bar, L"skin\\engine.png");
    TavrelSetSearchButtonImageW(bar, L"skin\\search.png");
    TavrelAddEngineW(bar, L"skin\\engine.png", L"Atlas", L"https://atlas.example/?q=");
    TavrelUpdateLayout(bar);
    TavrelShowBar(bar, SW_SHOW);
    if (argc > 1)
        SetTimer(host, 1, atoi(argv[1]), NULL);
    while (GetMessageW(&msg, NULL, 0, 0) > 0)
        if (!TavrelPreTranslateMessage(&msg))
            TranslateMessage(&msg), DispatchMessageW(&msg);
    TavrelCleanup();
    return 0;
}
