// Hands a finished search URL to the user's browser.
#pragma once
#include <windows.h>

// Opens the URL with the shell when HKCR\htmlfile\shell\open\command can be
// opened for reading; otherwise starts iexplore.exe with the URL, quoted, as
// its parameters. A null URL does nothing. Reports nothing.
void LaunchSearch(const char* url);

// The platform calls LaunchSearch makes; tests replace them to observe the
// calls. The default is the real functions.
struct LaunchSeam {
    LSTATUS(WINAPI* regOpenKey)(HKEY, LPCSTR, PHKEY);
    LSTATUS(WINAPI* regOpenKeyEx)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
    LSTATUS(WINAPI* regCloseKey)(HKEY);
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
};

// Installs a seam (null restores the real functions); returns the previous.
LaunchSeam SetLaunchSeam(const LaunchSeam* seam);
