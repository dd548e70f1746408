// LaunchSearch: hands a finished search URL to the browser. When the command
// for opening HTML documents is registered, the shell opens the URL with the
// registered handler; otherwise iexplore.exe is started with the URL as its
// one argument. The platform calls go through a replaceable seam so that
// tests can see exactly what reached the registry and the shell.
#include "LaunchSearch.h"

#include <shellapi.h>
#include <string>

namespace {
LaunchSeam PlatformCalls() {
    return LaunchSeam{::RegOpenKeyA, ::RegOpenKeyExA, ::RegCloseKey, ::ShellExecuteA};
}

LaunchSeam g_seam = PlatformCalls();

const char kHtmlOpenCommandKey[] = "htmlfile\\shell\\open\\command";

// The URL as one program argument: wrapped in double quotes, with any quote
// inside percent-encoded (so it cannot end the argument early) and trailing
// backslashes doubled (so the closing quote is not taken as escaped by the
// usual command-line parsing).
std::string QuoteAsOneArgument(const char* url) {
    std::string quoted = "\"";
    size_t trailingBackslashes = 0;
    for (const char* p = url; *p; ++p) {
        if (*p == '"') {
            quoted += "%22";
            trailingBackslashes = 0;
            continue;
        }
        quoted += *p;
        trailingBackslashes = *p == '\\' ? trailingBackslashes + 1 : 0;
    }
    quoted.append(trailingBackslashes, '\\');
    quoted += '"';
    return quoted;
}

// Reading is all the decision needs; asking for more would send every user
// without write access to the registered key down the fallback path.
bool OpenHtmlOpenCommand(HKEY root, HKEY* command) {
    return g_seam.regOpenKeyEx(root, kHtmlOpenCommandKey, 0, KEY_READ, command) == ERROR_SUCCESS;
}

void OpenWithRegisteredHandler(const char* url) {
    g_seam.shellExecute(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

void StartInternetExplorer(const char* url) {
    const std::string parameters = QuoteAsOneArgument(url);
    g_seam.shellExecute(nullptr, nullptr, "iexplore.exe", parameters.c_str(), nullptr, SW_SHOW);
}
} // namespace

// The URL is used where it lies, whatever its length: no copy into a fixed
// buffer, so nothing is cut off.
void LaunchSearch(const char* url) {
    if (!url)
        return;
    HKEY root = nullptr;
    HKEY command = nullptr;
    const bool rootOpened = g_seam.regOpenKey(HKEY_CLASSES_ROOT, nullptr, &root) == ERROR_SUCCESS;
    const bool commandOpened = rootOpened && OpenHtmlOpenCommand(root, &command);
    if (commandOpened)
        OpenWithRegisteredHandler(url);
    else
        StartInternetExplorer(url);
    if (commandOpened)
        g_seam.regCloseKey(command);
    if (rootOpened)
        g_seam.regCloseKey(root);
}

LaunchSeam SetLaunchSeam(const LaunchSeam* seam) {
    const LaunchSeam previous = g_seam;
    g_seam = seam ? *seam : PlatformCalls();
    return previous;
}
