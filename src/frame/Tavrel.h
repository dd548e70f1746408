// Tavrel: a skinnable web-search box for Windows programs.
//
// A host program starts the graphics support once (CInitGui::Startup), makes
// a bar with CTavrel::CreateTavrel and drives it through the 23 operations of
// CTavrel, in this order: CreateBar, the skin images (SetBackgroundImage
// first), AddEngine for each engine, SetSettingsFile, SetPosition,
// UpdateLayout, ShowBar. The bar reports to the host window with the posted
// messages below. The host's message loop must offer every message to the
// framework's pre-translation (AfxPreTranslateMessage) before dispatching it.
// Everything runs on the host's user-interface thread.
#pragma once
#include <string>
#include <windows.h>

#ifdef TAVREL_BUILDING
#define TAVREL_API
#else
#define TAVREL_API __declspec(dllimport)
#endif

// Posted to the host window (wParam 0, lParam 0 unless stated).
enum : UINT {
    UM_ENGINE_CHOSEN = 1124,   // the user chose another engine
    UM_QUERY_COMMAND = 1125,   // the search button was clicked
    UM_QUERY_CHANGED = 1126,   // the user changed the query (lParam 1)
    UM_SEARCH_LAUNCHED = 1127, // a search URL was handed to the browser
};

class TAVREL_API CInitGui {
public:
    // Starts GDI+ for the process: 1 on success, 0 on failure.
    static int Startup();
    // Shuts GDI+ down; call once no bar will draw again.
    static void Clearup();
    CInitGui& operator=(const CInitGui&);
};

class TAVREL_API CTavrel {
public:
    CTavrel();
    CTavrel(const CTavrel&);
    CTavrel& operator=(const CTavrel&);

    // A new search bar (no window yet), or null. The library keeps it for
    // the life of the process; there is no release.
    static CTavrel* CreateTavrel();

    // Skin images: paths in the ANSI code page; an empty or null path
    // changes nothing. The main background fixes the bar's size; a radius
    // above 0 rounds the window's corners.
    virtual void SetBackgroundImage(const char* path, int cornerRadius) = 0; // 0
    virtual void SetActiveBackgroundImage(const char* path) = 0;             // 1
    virtual void SetEngineIconImage(const char* path) = 0;                   // 2
    virtual void SetArrowImage(const char* path) = 0;                        // 3
    virtual void SetSearchButtonImage(const char* path) = 0;                 // 4
    virtual void SetEngineListBackground(const char* path) = 0;              // 5
    virtual void SetEngineListHighlight(const char* path) = 0;               // 6
    virtual void SetSuggestionListBackground(const char* path) = 0;          // 7
    virtual void SetSuggestionListHighlight(const char* path) = 0;           // 8
    // Creates the bar window, owned by hostWindow; the four members of
    // placement are x, y, width and height in screen coordinates. 1 or 0.
    virtual int CreateBar(HWND hostWindow, const RECT* placement) = 0; // 9
    virtual void SetPosition(int x, int y) = 0;                        // 10
    virtual void UpdateLayout() = 0;                                   // 11
    virtual void GetQueryText(std::string& text) = 0;                  // 12
    virtual void AddSuggestion(const char* text) = 0;                  // 13
    virtual void ClearSuggestions() = 0;                               // 14
    virtual void ShowSuggestions() = 0;                                // 15
    // 1 when added; 0 for an empty or already registered display name, or
    // a URL prefix that is neither empty, http:// or https:// (any case) nor
    // a scheme registered as a URL protocol (paths and file: are refused).
    virtual int AddEngine(const char* iconPath, const char* name, const char* urlPrefix) = 0; // 16
    virtual const char* GetEngineName() = 0;                   // 17
    virtual const char* GetEngineUrl() = 0;                    // 18
    virtual int GetEngineIndex() = 0;                          // 19
    virtual void SetSettingsFile(const char* iniPath) = 0;     // 20
    virtual void ShowBar(int showCommand) = 0;                 // 21
    virtual HWND GetWindowHandle() = 0;                        // 22
};
