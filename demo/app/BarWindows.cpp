// Finding the bar's windows by class and owner, for the scripted run.
#include "BarWindows.h"
#include <cstring>
#include <vector>

namespace {
struct Search {
    HWND bar;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBarWindows(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (::GetParent(window) == search->bar)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> BarOwnedWindows(HWND bar) {
    Search search{bar, {}};
    if (bar)
        ::EnumWindows(CollectBarWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasClass(HWND window, const char* className) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return std::strcmp(name, className) == 0;
}

int WidthOf(HWND window) {
    const RECT rect = WindowRectOf(window);
    return rect.right - rect.left;
}

HWND FindList(HWND bar, bool asWideAsBar) {
    for (HWND window : BarOwnedWindows(bar)) {
        if (HasClass(window, "GUI_AFXSELECT") && (WidthOf(window) == WidthOf(bar)) == asWideAsBar)
            return window;
    }
    return nullptr;
}
} // namespace

HWND FindQueryFrame(HWND bar) {
    for (HWND window : BarOwnedWindows(bar)) {
        if (HasClass(window, "GUI_EDIT"))
            return window;
    }
    return nullptr;
}

HWND FindQueryEdit(HWND bar) {
    HWND frame = FindQueryFrame(bar);
    return frame ? ::FindWindowExA(frame, nullptr, "Edit", nullptr) : nullptr;
}

HWND FindSuggestionList(HWND bar) {
    return FindList(bar, true);
}

HWND FindEngineList(HWND bar) {
    return FindList(bar, false);
}

bool IsShown(HWND window) {
    return window && ::IsWindowVisible(window);
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT BarFootprint(HWND bar) {
    RECT box = WindowRectOf(bar);
    for (HWND window : BarOwnedWindows(bar)) {
        if (IsShown(window)) {
            const RECT rect = WindowRectOf(window);
            ::UnionRect(&box, &box, &rect);
        }
    }
    return box;
}
