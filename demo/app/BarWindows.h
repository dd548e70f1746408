// The bar's windows as a host can find them from outside: the bar window
// (CTavrel::GetWindowHandle) and the top-level windows whose parent, as
// GetParent reports it, is the bar: the query edit frame ("GUI_EDIT", with
// the edit control inside it) and the two popup lists ("GUI_AFXSELECT"; the
// suggestion list is as wide as the bar, the engine list is not). The
// scripted run uses them to aim its clicks and to see what is shown.
#pragma once
#include <windows.h>

HWND FindQueryFrame(HWND bar);
HWND FindQueryEdit(HWND bar);
HWND FindSuggestionList(HWND bar);
HWND FindEngineList(HWND bar);
bool IsShown(HWND window);
RECT WindowRectOf(HWND window);
POINT CentreOf(const RECT& rect);
// The bounding box of the bar and every shown window that belongs to it.
RECT BarFootprint(HWND bar);
