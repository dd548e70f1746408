// Hands a finished search URL to the user's browser.
#pragma once
#include <windows.h>

// Opens the URL with the shell when HKCR\htmlfile\shell\open\command can be
// opened for reading; otherwise starts iexplore.exe with the URL, quoted, as
// its parameters. A null URL does nothing. Reports nothing. The bar calls
// LaunchSearchW: the URL reaches the shell through its wide functions, so
// nothing of it is lost on the way. LaunchSearch takes a URL in the ANSI
// code page and opens it the same way.
void LaunchSearchW(const wchar_t* url);
void LaunchSearch(const char* url);

// The platform calls LaunchSearch makes; tests replace them to observe the
// calls. The default is the real functions, the wide ones among them. A
// seam without the three wide calls (tests that observe the narrow calls)
// gets every URL through the narrow ones, converted to the ANSI code page.
struct LaunchSeam {
    LSTATUS(WINAPI* regOpenKey)(HKEY, LPCSTR, PHKEY);
    LSTATUS(WINAPI* regOpenKeyEx)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
    LSTATUS(WINAPI* regCloseKey)(HKEY);
    HINSTANCE(WINAPI* shellExecute)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    LSTATUS(WINAPI* regOpenKeyW)(HKEY, LPCWSTR, PHKEY) = nullptr;
    LSTATUS(WINAPI* regOpenKeyExW)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY) = nullptr;
    HINSTANCE(WINAPI* shellExecuteW)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) = nullptr;
};

// Installs a seam (null restores the real functions); returns the previous.
LaunchSeam SetLaunchSeam(const LaunchSeam* seam);
