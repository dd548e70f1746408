// SkinnedBar: bars made as a host makes them, through CTavrel::CreateTavrel
// and the host interface in the documented order, with a full skin of
// generated images (a 400 x 30 background), and the few looks inside a bar
// that reliability checks need: its query field, its lists, every GDI
// handle it owns, whether any thread hook is left, the process's memory.
#pragma once
#include "../../src/bar/CSearchBar.h"
#include "ProcessCounts.h"
#include <string>
#include <vector>

// Image files of the full skin, written once per process.
struct SkinFiles {
    std::string background;       // 400 x 30
    std::string activeBackground; // 400 x 30
    std::string icon;             // 16 x 16
    std::string arrow;            // 7 x 4
    std::string button;           // 24 x 24
    std::string listBackground;   // 10 x 10
    std::string listHighlight;    // 10 x 10
    static const SkinFiles& Get();
};

struct EngineSpec {
    std::string name;
    std::string urlPrefix;
};

// The bar behind a CTavrel the factory made.
CSearchBar* BarOf(CTavrel* face);

// Applies every skin slot (0 to 8) to a created bar.
void ApplySkin(CTavrel* bar);

// CreateTavrel, CreateBar under host at (x, y), the full skin, the engines
// (each with the skin's icon), the settings file when one is named, then
// SetPosition, UpdateLayout and ShowBar(SW_SHOW). Null when creation failed.
CSearchBar* MakeSkinnedBar(HWND host, int x, int y, const std::vector<EngineSpec>& engines,
                           const std::string& settingsPath = "");

// Posts UM_QUERY_COMMAND (command, text) to the bar the way its suggestion
// list does: the text in the list's own storage (its code-page bytes and
// their UTF-16 form), whose address is the only one the bar accepts.
void PostListCommand(CSearchBar* bar, WPARAM command, const std::string& text);

// The bar's query edit control (the window a user types into), or null.
HWND QueryFieldOf(const CSearchBar& bar);
HWND SuggestionListOf(const CSearchBar& bar);

// Every GDI handle the bar and its children own now: back buffers, skin
// images, engine icons, the query field's font. The windows' own DCs are
// left out: they come from the system's cache, and the system takes them
// back with their windows.
std::vector<HGDIOBJ> GdiHandlesOf(const CSearchBar& bar);
// Those of the handles that still name a GDI object (the shared stock
// bitmap a zero-sized bitmap request yields does not count).
std::vector<HGDIOBJ> StillAlive(const std::vector<HGDIOBJ>& handles);

// True when none of the three thread hooks is installed.
bool NoHookInstalled();

// The process's private bytes (PrivateUsage of GetProcessMemoryInfo): whole
// pages, for bounds of megabytes.
size_t PrivateBytes();

// Moves the pointer to the screen's bottom-right corner, clear of every bar
// and list the tests place, so that no list opens under it and highlights
// a row of its own accord.
void ParkPointer();
