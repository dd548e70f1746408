// Hands a finished search URL to the user's browser.
#pragma once
#include <windows.h>

// Opens the URL with the shell when HKCR\htmlfile\shell\open\command can be
// opened for reading; otherwise starts iexplore.exe, by its full path in the
// system's program folder, with the URL, quoted, as its parameters. Only a
// launchable URL (IsLaunchableUrl) is opened: true when it was handed to the
// shell, false (nothing done) for any other and for a null URL. The bar calls
// LaunchSearchW: the URL reaches the shell through its wide functions, so
// nothing of it is lost on the way. LaunchSearch takes a URL in the ANSI
// code page and opens it the same way.
bool LaunchSearchW(const wchar_t* url);
bool LaunchSearch(const char* url);

// True for an http:// or https:// URL and for one whose scheme the system
// registers as a URL protocol (its class key holds "URL Protocol"); false
// for paths, UNC names, file: URLs, unregistered schemes and null.
bool IsLaunchableUrl(const wchar_t* url);

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
