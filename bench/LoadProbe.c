/* The child of the load benchmark: a C host that loads the C interface at
 * run time, the way a program of another language does.
 *   load_probe DLLDIR SKINDIR [--preload NAME.dll] [--cycles N]
 * Times LoadLibrary of DLLDIR\TavrelC.dll (after NAME.dll, to load a set of
 * DLLs as an earlier layout did) through TavrelStartup to the first painted
 * bar, then lists every module loaded from DLLDIR with its size on disk. With
 * --cycles, then creates and destroys N more bars (the first tenth a warm-up)
 * and prints the time per cycle and what the rest left behind: heap bytes,
 * GDI objects, windows and threads. Prints "key value" lines; exit code 0
 * when everything worked. */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>

#include "tavrel_c.h"

typedef int(WINAPI* StartupFn)(void);
typedef TavrelBar*(WINAPI* CreateFn)(void);
typedef int(WINAPI* CreateBarFn)(TavrelBar*, HWND, const RECT*);
typedef void(WINAPI* ImageFn)(TavrelBar*, const WCHAR*);
typedef void(WINAPI* BackgroundFn)(TavrelBar*, const WCHAR*, int);
typedef int(WINAPI* AddEngineFn)(TavrelBar*, const WCHAR*, const WCHAR*, const WCHAR*);
typedef void(WINAPI* BarFn)(TavrelBar*);
typedef void(WINAPI* ShowFn)(TavrelBar*, int);
typedef HWND(WINAPI* WindowFn)(TavrelBar*);
typedef BOOL(WINAPI* PreTranslateFn)(MSG*);

static struct {
    StartupFn startup;
    CreateFn create;
    CreateBarFn createBar;
    BackgroundFn background;
    ImageFn icon, button;
    AddEngineFn addEngine;
    BarFn updateLayout, destroy;
    ShowFn show;
    WindowFn window;
    PreTranslateFn preTranslate;
} api;

static WCHAR skinDir[MAX_PATH];
static LARGE_INTEGER frequency;

static double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static const WCHAR* Skin(const WCHAR* name) {
    static WCHAR paths[4][MAX_PATH];
    static int next;
    WCHAR* path = paths[next++ % 4];
    _snwprintf(path, MAX_PATH, L"%ls\\%ls", skinDir, name);
    return path;
}

static int Bind(HMODULE module) {
#define BIND(field, name) (api.field = (void*)GetProcAddress(module, name)) != NULL
    return BIND(startup, "TavrelStartup") && BIND(create, "TavrelCreate") &&
           BIND(createBar, "TavrelCreateBar") && BIND(background, "TavrelSetBackgroundImageW") &&
           BIND(icon, "TavrelSetEngineIconImageW") && BIND(button, "TavrelSetSearchButtonImageW") &&
           BIND(addEngine, "TavrelAddEngineW") && BIND(updateLayout, "TavrelUpdateLayout") &&
           BIND(show, "TavrelShowBar") && BIND(window, "TavrelGetWindowHandle") &&
           BIND(preTranslate, "TavrelPreTranslateMessage");
#undef BIND
}

/* A bar with the skin, shown; pumps until its window has been painted. */
static TavrelBar* ShowPaintedBar(HWND host) {
    RECT place = {120, 140, 400, 30};
    TavrelBar* bar = api.create();
    HWND window;
    MSG msg;
    DWORD start = GetTickCount();
    if (!bar || !api.createBar(bar, host, &place))
        return NULL;
    api.background(bar, Skin(L"bar.png"), 4);
    api.icon(bar, Skin(L"engine.png"));
    api.button(bar, Skin(L"search.png"));
    api.addEngine(bar, Skin(L"engine.png"), L"Atlas", L"https://atlas.example/?q=");
    api.updateLayout(bar);
    api.show(bar, SW_SHOW);
    window = api.window(bar);
    while (GetTickCount() - start < 10000) {
        if (!PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (!api.preTranslate(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (msg.message == WM_PAINT && msg.hwnd == window)
            return bar;
    }
    return NULL;
}

static void ListModulesFrom(const WCHAR* dir) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    MODULEENTRY32W entry;
    const size_t length = wcslen(dir);
    entry.dwSize = sizeof entry;
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (_wcsnicmp(entry.szExePath, dir, length) != 0 ||
            !GetFileAttributesExW(entry.szExePath, GetFileExInfoStandard, &data))
            continue;
        printf("module %ls %lu\n", entry.szModule, (unsigned long)data.nFileSizeLow);
    }
    CloseHandle(snapshot);
}

/* Busy bytes in every heap of the process. */
static size_t HeapBytes(void) {
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps), i;
    size_t total = 0;
    for (i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = NULL;
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

/* GDI objects the process can still make (Wine's GetGuiResources says 0). */
static int GdiHeadroom(void) {
    static HRGN regions[70000];
    int made = 0, i;
    while (made < 70000 && (regions[made] = CreateRectRgn(0, 0, 1, 1)) != NULL)
        ++made;
    for (i = 0; i < made; ++i)
        DeleteObject(regions[i]);
    return made;
}

static BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    (void)window;
    ++*(int*)count;
    return TRUE;
}

static int ThreadWindows(void) {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, (LPARAM)&count);
    return count;
}

static int Threads(void) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    int count = 0;
    entry.dwSize = sizeof entry;
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

static int Cycles(HWND host, int cycles) {
    const int warmUp = cycles / 10;
    size_t heap = 0;
    int gdi = 0, windows = 0, threads = 0, i;
    LARGE_INTEGER start, end;
    for (i = 0; i < cycles; ++i) {
        TavrelBar* bar;
        if (i == warmUp) {
            heap = HeapBytes(), gdi = GdiHeadroom(), windows = ThreadWindows(), threads = Threads();
            QueryPerformanceCounter(&start);
        }
        bar = ShowPaintedBar(host);
        if (!bar)
            return 0;
        api.destroy(bar);
    }
    QueryPerformanceCounter(&end);
    printf("cycle_ms %.3f\n", Milliseconds(start, end) / (cycles - warmUp));
    printf("left_heap_bytes %ld\n", (long)(HeapBytes() - heap));
    printf("left_gdi_objects %d\n", gdi - GdiHeadroom());
    printf("left_windows %d\n", ThreadWindows() - windows);
    printf("left_threads %d\n", Threads() - threads);
    return 1;
}

int main(int argc, char** argv) {
    WCHAR dllDir[MAX_PATH], *lastSlash;
    const char* preload = NULL;
    int cycles = 0, i;
    LARGE_INTEGER start, painted;
    HMODULE module;
    HWND host;
    if (argc < 2 || !GetModuleFileNameW(NULL, dllDir, MAX_PATH) || !(lastSlash = wcsrchr(dllDir, L'\\')))
        return 2;
    *lastSlash = 0;
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, skinDir, MAX_PATH);
    for (i = 2; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--preload"))
            preload = argv[i + 1];
        else if (!strcmp(argv[i], "--cycles"))
            cycles = atoi(argv[i + 1]);
    }
    QueryPerformanceFrequency(&frequency);
    host = CreateWindowExW(0, L"STATIC", L"load probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                           600, 300, NULL, NULL, NULL, NULL);

    QueryPerformanceCounter(&start);
    if (preload && !LoadLibraryA(preload))
        return 3;
    module = LoadLibraryW(L"TavrelC.dll");
    if (!module || !Bind(module) || !api.startup() || !ShowPaintedBar(host))
        return 4;
    QueryPerformanceCounter(&painted);
    printf("first_paint_ms %.3f\n", Milliseconds(start, painted));
    ListModulesFrom(dllDir);
    if (cycles > 0) {
        api.destroy = (BarFn)(void*)GetProcAddress(module, "TavrelDestroyBar");
        if (!api.destroy || !Cycles(host, cycles))
            return 5;
    }
    fflush(stdout);
    return 0;
}
