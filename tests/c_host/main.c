/* A host written in C against tavrel_c.h alone. It runs the typical search:
 * skins, two engines, a settings file choosing the second, suggestions fed
 * on TAVREL_UM_QUERY_CHANGED, real keys (two letters, Down, Enter), and a
 * second search by Enter in the field, which only the pre-translation in the
 * message loop sees. The shell's handlers for http URLs and HTML documents
 * start this same program as "PROGRAM --record FILE URL" meanwhile, standing in
 * for the browser. It also checks that it imports no C++ runtime. Exit code
 * 0 when every check holds.
 * It calls Win32 and nothing of a C runtime beyond main(), so that the same
 * source also builds as a C++ program for the other Windows C++ ABI, with no
 * runtime at all (tests/msvc_host). */
#include "tavrel_c.h"
#include <stdarg.h>
#include <windows.h>

#define ENGINE_PREFIX "http://second.test/?q="
#define SEARCH_URL ENGINE_PREFIX "ab%20news"

/* printf to standard output (wsprintf's formats; at most 1,024 bytes). */
static void Say(const char* format, ...) {
    char text[1025];
    DWORD written;
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, (DWORD)lstrlenA(text), &written, NULL);
}

static int failures;
#define CHECK(condition) Check((condition) != 0, #condition, __LINE__)

static void Check(int ok, const char* what, int line) {
    if (!ok) {
        Say("host: line %d: failed: %s\n", line, what);
        ++failures;
    }
}

/* ---- The host window and its answers to the bar ---- */

static TavrelBar* bar;
static int queryChanges, searches, engineChoices;

static void Suggest(const char* query) {
    char text[80];
    TavrelClearSuggestions(bar);
    wsprintfA(text, "%s news", query);
    TavrelAddSuggestion(bar, text);
    wsprintfA(text, "%s maps", query);
    TavrelAddSuggestion(bar, text);
    TavrelShowSuggestions(bar);
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char query[64];
    switch (message) {
    case TAVREL_UM_QUERY_CHANGED:
        ++queryChanges;
        if (TavrelGetQueryText(bar, query, sizeof query) < (int)sizeof query)
            Suggest(query);
        return 0;
    case TAVREL_UM_SEARCH_LAUNCHED:
        ++searches;
        return 0;
    case TAVREL_UM_ENGINE_CHOSEN:
        ++engineChoices;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static HWND CreateHostWindow(void) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "C_HOST";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "C_HOST", "C host", WS_OVERLAPPEDWINDOW, 50, 50, 600, 300, NULL, NULL,
                           wc.hInstance, NULL);
}

/* ---- The message loop: pre-translation first, as every host must ---- */

static void PumpPending(void) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (!TavrelPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

/* Pumps until done() holds (1) or the timeout passes (0). */
static int PumpUntil(int (*done)(void), DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return 1;
        if (GetTickCount() - start >= timeoutMs)
            return 0;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

/* ---- Files: skins, settings, the recorded URLs ---- */

static char scratch[MAX_PATH];

static const char* ScratchPath(const char* name) {
    static char paths[16][MAX_PATH];
    static int next;
    char* path = paths[next++ % 16];
    wsprintfA(path, "%s%s", scratch, name);
    return path;
}

/* Writes the pieces to the file, replacing it or appending to it. */
static void WriteBytes(const char* path, int append, const void* const* pieces, const DWORD* sizes,
                       int count) {
    HANDLE file = CreateFileA(path, append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ,
                              NULL, append ? OPEN_ALWAYS : CREATE_ALWAYS, 0, NULL);
    DWORD written;
    int i;
    if (file == INVALID_HANDLE_VALUE)
        return;
    for (i = 0; i < count; ++i)
        WriteFile(file, pieces[i], sizes[i], &written, NULL);
    CloseHandle(file);
}

static void WriteText(const char* path, int append, const char* text) {
    const void* pieces[1];
    DWORD sizes[1];
    pieces[0] = text;
    sizes[0] = (DWORD)lstrlenA(text);
    WriteBytes(path, append, pieces, sizes, 1);
}

/* An opaque 32-bit BMP of one colour, at most 400 x 30. */
static const char* WriteBmp(const char* name, int width, int height, DWORD rgb) {
    static DWORD pixels[400 * 30];
    const char* path = ScratchPath(name);
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    const void* pieces[3];
    DWORD sizes[3];
    int i;
    ZeroMemory(&file, sizeof file);
    ZeroMemory(&info, sizeof info);
    for (i = 0; i < width * height; ++i)
        pixels[i] = rgb;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + (DWORD)(width * height * 4);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    pieces[0] = &file;
    sizes[0] = sizeof file;
    pieces[1] = &info;
    sizes[1] = sizeof info;
    pieces[2] = pixels;
    sizes[2] = (DWORD)(width * height * 4);
    WriteBytes(path, 0, pieces, sizes, 3);
    return path;
}

static char urlFile[MAX_PATH];

/* The URLs recorded so far, one a line. */
static const char* Recorded(void) {
    static char text[512];
    HANDLE file = CreateFileA(urlFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    DWORD size = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, text, sizeof text - 1, &size, NULL);
        CloseHandle(file);
    }
    text[size] = '\0';
    return text;
}

/* Record mode: the shell started this program for a URL. */
static int RecordUrl(const char* file, const char* url) {
    char line[1024];
    wsprintfA(line, "%s\n", url);
    WriteText(file, 1, line);
    return 0;
}

/* ---- The browser stand-in as the shell's handler ---- */

/* Wine's HKEY_CLASSES_ROOT shows only the machine's classes, so the
 * handlers are set there; each old value is put back afterwards. */
static const char* const handlerKeys[2] = {"http\\shell\\open\\command",
                                           "htmlfile\\shell\\open\\command"};
static char oldCommand[2][1024];
static int hadCommand[2];

static void InstallBrowserStandIn(void) {
    char self[MAX_PATH], command[3 * MAX_PATH];
    LONG size;
    int i;
    GetModuleFileNameA(NULL, self, sizeof self);
    wsprintfA(command, "\"%s\" --record \"%s\" \"%%1\"", self, urlFile);
    for (i = 0; i < 2; ++i) {
        size = sizeof oldCommand[i];
        hadCommand[i] = RegQueryValueA(HKEY_CLASSES_ROOT, handlerKeys[i], oldCommand[i], &size) ==
                        ERROR_SUCCESS;
        RegSetValueA(HKEY_CLASSES_ROOT, handlerKeys[i], REG_SZ, command, (DWORD)lstrlenA(command));
    }
}

static void RemoveBrowserStandIn(void) {
    int i;
    for (i = 0; i < 2; ++i) {
        if (hadCommand[i])
            RegSetValueA(HKEY_CLASSES_ROOT, handlerKeys[i], REG_SZ, oldCommand[i],
                         (DWORD)lstrlenA(oldCommand[i]));
        else
            RegDeleteKeyA(HKEY_CLASSES_ROOT, handlerKeys[i]);
    }
}

/* ---- Looking at the bar's windows and typing ---- */

static HWND OwnedWindow(const char* className, int visibleOnly) {
    HWND found = NULL;
    while ((found = FindWindowExA(NULL, found, className, NULL)) != NULL)
        if (GetWindow(found, GW_OWNER) == TavrelGetWindowHandle(bar) &&
            (!visibleOnly || IsWindowVisible(found)))
            return found;
    return NULL;
}

static HWND fieldFrame;

static int FieldFrameIsForeground(void) {
    return GetForegroundWindow() == fieldFrame;
}

/* Wine drops keys for a thread without the foreground window: activate the
 * field's own frame (activating the host would raise it over the bar under
 * Wine), then focus the edit control inside it. */
static void FocusQueryField(void) {
    fieldFrame = OwnedWindow("GUI_EDIT", 0);
    SetForegroundWindow(fieldFrame);
    CHECK(PumpUntil(FieldFrameIsForeground, 3000));
    SetFocus(GetWindow(fieldFrame, GW_CHILD));
}

static void PressKey(WORD vk) {
    INPUT keys[2];
    ZeroMemory(keys, sizeof keys);
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = vk;
    keys[0].ki.wScan = keys[1].ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

/* ---- Conditions to pump for ---- */

static int SuggestionsShownFor(const char* query) {
    char text[64];
    TavrelGetQueryText(bar, text, sizeof text);
    return OwnedWindow("GUI_AFXSELECT", 1) != NULL && lstrcmpA(text, query) == 0;
}
static int ShownForA(void) {
    return queryChanges == 1 && SuggestionsShownFor("a");
}
static int ShownForAb(void) {
    return queryChanges == 2 && SuggestionsShownFor("ab");
}
static int FirstProposalTaken(void) {
    char text[64];
    TavrelGetQueryText(bar, text, sizeof text);
    return lstrcmpA(text, "ab news") == 0;
}
static int OneSearchRecorded(void) {
    return searches == 1 && lstrcmpA(Recorded(), SEARCH_URL "\n") == 0;
}
static int TwoSearchesRecorded(void) {
    return searches == 2 && lstrcmpA(Recorded(), SEARCH_URL "\n" SEARCH_URL "\n") == 0;
}

/* ---- The checks ---- */

/* True when this program's import table names a DLL starting with prefix. */
static int Imports(const char* prefix) {
    const BYTE* base = (const BYTE*)GetModuleHandleA(NULL);
    const IMAGE_NT_HEADERS* nt =
        (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY* dir =
        &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_IMPORT_DESCRIPTOR* entry =
        (const IMAGE_IMPORT_DESCRIPTOR*)(base + dir->VirtualAddress);
    char name[64];
    for (; entry->Name; ++entry) {
        lstrcpynA(name, (const char*)(base + entry->Name), lstrlenA(prefix) + 1);
        if (lstrcmpiA(name, prefix) == 0)
            return 1;
    }
    return 0;
}

static void SetUpBar(HWND host) {
    const RECT placement = {100, 100, 300, 30};
    const char* list = WriteBmp("list.bmp", 10, 10, 0xEEEEEE);
    const char* icon = WriteBmp("icon.bmp", 16, 16, 0xFF0000);
    RECT rc;
    bar = TavrelCreate();
    CHECK(bar != NULL);
    TavrelSetEngineListBackground(bar, list);
    TavrelSetEngineListHighlight(bar, list);
    TavrelSetSuggestionListBackground(bar, list);
    TavrelSetSuggestionListHighlight(bar, list);
    CHECK(TavrelCreateBar(bar, host, &placement) == 1);
    TavrelSetBackgroundImage(bar, WriteBmp("bar.bmp", 400, 30, 0x336699), 8);
    TavrelSetActiveBackgroundImage(bar, WriteBmp("active.bmp", 400, 30, 0x3366FF));
    TavrelSetEngineIconImage(bar, icon);
    TavrelSetArrowImage(bar, WriteBmp("arrow.bmp", 7, 4, 0x000000));
    TavrelSetSearchButtonImage(bar, WriteBmp("button.bmp", 24, 24, 0x00FF00));
    GetWindowRect(TavrelGetWindowHandle(bar), &rc);
    CHECK(rc.right - rc.left == 400 && rc.bottom - rc.top == 30); /* the background's size */

    CHECK(TavrelAddEngine(bar, icon, "First", "http://first.test/?q=") == 1);
    CHECK(TavrelAddEngine(bar, icon, "First", "http://again.test/?q=") == 0);
    CHECK(TavrelAddEngine(bar, icon, "Second", ENGINE_PREFIX) == 1);
    const char* settings = ScratchPath("search.ini");
    WriteText(settings, 0, "[Select]\r\nIndex=1\r\n");
    TavrelSetSettingsFile(bar, settings);
    CHECK(TavrelGetEngineIndex(bar) == 1);
    CHECK(lstrcmpA(TavrelGetEngineName(bar), "Second") == 0);
    CHECK(lstrcmpA(TavrelGetEngineUrl(bar), ENGINE_PREFIX) == 0);
    TavrelSetPosition(bar, 120, 110);
    TavrelUpdateLayout(bar);
    TavrelShowBar(bar, SW_SHOW);
    CHECK(IsWindowVisible(TavrelGetWindowHandle(bar)));
}

static void RunSearches(void) {
    FocusQueryField();
    PressKey('A');
    CHECK(PumpUntil(ShownForA, 5000));
    PressKey('B');
    CHECK(PumpUntil(ShownForAb, 5000));
    PressKey(VK_DOWN);
    CHECK(PumpUntil(FirstProposalTaken, 5000));
    PressKey(VK_RETURN); /* taken by the open list */
    CHECK(PumpUntil(OneSearchRecorded, 20000));
    CHECK(OwnedWindow("GUI_AFXSELECT", 1) == NULL);

    FocusQueryField();
    PressKey(VK_RETURN); /* list closed: the bar's pre-translation takes it */
    CHECK(PumpUntil(TwoSearchesRecorded, 20000));
    CHECK(queryChanges == 2 && engineChoices == 0);
}

int main(int argc, char** argv) {
    HWND host;
    if (argc == 4 && lstrcmpA(argv[1], "--record") == 0)
        return RecordUrl(argv[2], argv[3]);

    CHECK(Imports("TavrelC.dll"));
    CHECK(!Imports("libstdc++") && !Imports("libgcc_s") && !Imports("afx"));
    CHECK(TavrelGetVersion() == TAVREL_VERSION);
    CHECK(TavrelStartup() == 1);

    GetTempPathA(sizeof scratch, scratch);
    wsprintfA(urlFile, "%shost_urls.txt", scratch);
    DeleteFileA(urlFile);
    InstallBrowserStandIn();
    host = CreateHostWindow();
    SetUpBar(host);
    if (failures == 0)
        RunSearches();
    if (failures)
        Say("host: recorded \"%s\"\n", Recorded());
    RemoveBrowserStandIn();
    DestroyWindow(host);
    TavrelCleanup();
    Say("host: %s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
