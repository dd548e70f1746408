// The window class "GUI_AFXSELECT" that both popup lists share.
#pragma once
#include <afxwin.h>

// Registers the class (once) and points cs at it; throws the framework's
// resource exception when registration fails.
void RegisterListWindowClass(CREATESTRUCT& cs);
