// LaunchSearch: hands a finished search URL to the browser. When the command
// for opening HTML documents is registered, the shell opens the URL with the
// registered handler; otherwise iexplore.exe is started, by its full path,
// with the URL as its one argument. A URL the shell would hand to anything
// but a URL handler (a path, file:, an unregistered scheme) never reaches it. The platform calls go through a replaceable seam so that
// tests can see exactly what reached the registry and the shell. The URL is
// UTF-16 and goes to the wide registry and shell functions; the narrow ones
// serve only a seam that offers nothing else.
#include "LaunchSearch.h"
#include "../render/AnsiToWide.h"
#include "EngineUrl.h"

#include <shellapi.h>
#include <shlobj.h>
#include <cwchar>
#include <string>

namespace {
LaunchSeam PlatformCalls() {
    LaunchSeam seam{::RegOpenKeyA, ::RegOpenKeyExA, ::RegCloseKey, ::ShellExecuteA};
    seam.regOpenKeyW = ::RegOpenKeyW;
    seam.regOpenKeyExW = ::RegOpenKeyExW;
    seam.shellExecuteW = ::ShellExecuteW;
    return seam;
}

LaunchSeam g_seam = PlatformCalls();

bool HasUrlProtocolValue(HKEY root, const std::wstring& keyName) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const bool registered =
        ::RegQueryValueExW(key, L"URL Protocol", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return registered;
}

// The system registers a URL protocol as a class key holding a value named
// "URL Protocol". Windows' HKCR merges the user's classes over the
// machine's; Wine's holds the machine's alone, so the user's are asked too.
bool IsRegisteredUrlProtocol(const std::u16string& scheme) {
    const std::wstring name(scheme.begin(), scheme.end());
    return HasUrlProtocolValue(HKEY_CLASSES_ROOT, name) ||
           HasUrlProtocolValue(HKEY_CURRENT_USER, L"Software\\Classes\\" + name);
}

// Internet Explorer's place in the system's program folder: starting it by
// name alone would let the shell find a program of that name in the current
// folder first.
std::wstring FallbackBrowserPath() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::wstring();
    return std::wstring(folder) + L"\\Internet Explorer\\iexplore.exe";
}

bool SeamIsWide() {
    return g_seam.regOpenKeyW && g_seam.regOpenKeyExW && g_seam.shellExecuteW;
}

// The narrow and wide forms of the platform calls, so that one algorithm
// serves both.
struct Narrow {
    using Char = char;
    static constexpr const char* kCommandKey = "htmlfile\\shell\\open\\command";
    static constexpr const char* kOpen = "open";
    static std::string Fallback() { return WideToAnsi(FallbackBrowserPath()); }
    static constexpr const char* kQuoteEscape = "%22";
    static LSTATUS OpenRoot(PHKEY root) { return g_seam.regOpenKey(HKEY_CLASSES_ROOT, nullptr, root); }
    static LSTATUS OpenCommand(HKEY root, PHKEY command) {
        return g_seam.regOpenKeyEx(root, kCommandKey, 0, KEY_READ, command);
    }
    static void Shell(const char* verb, const char* file, const char* parameters, INT show) {
        g_seam.shellExecute(nullptr, verb, file, parameters, nullptr, show);
    }
};

struct Wide {
    using Char = wchar_t;
    static constexpr const wchar_t* kCommandKey = L"htmlfile\\shell\\open\\command";
    static constexpr const wchar_t* kOpen = L"open";
    static std::wstring Fallback() { return FallbackBrowserPath(); }
    static constexpr const wchar_t* kQuoteEscape = L"%22";
    static LSTATUS OpenRoot(PHKEY root) {
        return g_seam.regOpenKeyW(HKEY_CLASSES_ROOT, nullptr, root);
    }
    static LSTATUS OpenCommand(HKEY root, PHKEY command) {
        return g_seam.regOpenKeyExW(root, kCommandKey, 0, KEY_READ, command);
    }
    static void Shell(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                      INT show) {
        g_seam.shellExecuteW(nullptr, verb, file, parameters, nullptr, show);
    }
};

// The URL as one program argument: wrapped in double quotes, with any quote
// inside percent-encoded (so it cannot end the argument early) and trailing
// backslashes doubled (so the closing quote is not taken as escaped by the
// usual command-line parsing).
template <class Calls> std::basic_string<typename Calls::Char> QuoteAsOneArgument(
    const typename Calls::Char* url) {
    using Char = typename Calls::Char;
    std::basic_string<Char> quoted(1, Char('"'));
    size_t trailingBackslashes = 0;
    for (const Char* p = url; *p; ++p) {
        if (*p == Char('"')) {
            quoted += Calls::kQuoteEscape;
            trailingBackslashes = 0;
            continue;
        }
        quoted += *p;
        trailingBackslashes = *p == Char('\\') ? trailingBackslashes + 1 : 0;
    }
    quoted.append(trailingBackslashes, Char('\\'));
    quoted += Char('"');
    return quoted;
}

// Reading is all the decision needs; asking for more would send every user
// without write access to the registered key down the fallback path. The
// URL is used where it lies, whatever its length: no copy into a fixed
// buffer, so nothing is cut off.
template <class Calls> void Launch(const typename Calls::Char* url) {
    HKEY root = nullptr;
    HKEY command = nullptr;
    const bool rootOpened = Calls::OpenRoot(&root) == ERROR_SUCCESS;
    const bool commandOpened = rootOpened && Calls::OpenCommand(root, &command) == ERROR_SUCCESS;
    if (commandOpened) {
        Calls::Shell(Calls::kOpen, url, nullptr, SW_SHOWNORMAL);
    } else {
        const auto program = Calls::Fallback();
        const auto parameters = QuoteAsOneArgument<Calls>(url);
        if (!program.empty())
            Calls::Shell(nullptr, program.c_str(), parameters.c_str(), SW_SHOW);
    }
    if (commandOpened)
        g_seam.regCloseKey(command);
    if (rootOpened)
        g_seam.regCloseKey(root);
}
} // namespace

bool IsLaunchableUrl(const wchar_t* url) {
    if (!url)
        return false;
    const EngineUrl::Verdict verdict = EngineUrl::Classify(std::u16string(url, url + std::wcslen(url)));
    return verdict.kind == EngineUrl::Kind::Web ||
           (verdict.kind == EngineUrl::Kind::RegisteredSchemeNeeded &&
            IsRegisteredUrlProtocol(verdict.scheme));
}

bool LaunchSearchW(const wchar_t* url) {
    if (!IsLaunchableUrl(url))
        return false;
    if (SeamIsWide())
        Launch<Wide>(url);
    else
        Launch<Narrow>(WideToAnsi(url).c_str());
    return true;
}

bool LaunchSearch(const char* url) {
    if (!url)
        return false;
    const std::wstring wide = AnsiToWide(url);
    if (!IsLaunchableUrl(wide.c_str()))
        return false;
    if (SeamIsWide())
        Launch<Wide>(wide.c_str());
    else
        Launch<Narrow>(url);
    return true;
}

LaunchSeam SetLaunchSeam(const LaunchSeam* seam) {
    const LaunchSeam previous = g_seam;
    g_seam = seam ? *seam : PlatformCalls();
    return previous;
}
