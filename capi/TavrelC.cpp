// TavrelC.dll: the C interface. Each function forwards to one operation of
// a bar (src/bar/CSearchBar.h, linked in) or to the framework's
// pre-translation; it finds the bar in the table of live handles first
// (CBarHandles), so that null, stale and foreign pointers do nothing, and
// lets no exception out (Guarded.h). The exported names come from
// TavrelC.def.
#include "tavrel_c.h"

#include "../src/bar/CSearchBar.h"
#include "../src/frame/CCallDepth.h"
#include "CBarHandles.h"
#include "CBarRelease.h"
#include "Guarded.h"
#include "Tavrel.h"
#include "TavrelStyle.h"
#include "TavrelSuggest.h"
#include "TavrelUnicode.h"
#include <afxwin.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

static_assert(TAVREL_UM_ENGINE_CHOSEN == UM_ENGINE_CHOSEN &&
                  TAVREL_UM_QUERY_COMMAND == UM_QUERY_COMMAND &&
                  TAVREL_UM_QUERY_CHANGED == UM_QUERY_CHANGED &&
                  TAVREL_UM_SEARCH_LAUNCHED == UM_SEARCH_LAUNCHED,
              "the C message numbers are the library's");
static_assert(TAVREL_LIST_ENGINES == CTavrelStyle::kEngineList &&
                  TAVREL_LIST_SUGGESTIONS == CTavrelStyle::kSuggestionList &&
                  TAVREL_TEXT_BOLD == CTavrelStyle::kBold &&
                  TAVREL_TEXT_ITALIC == CTavrelStyle::kItalic &&
                  TAVREL_TEXT_UNDERLINE == CTavrelStyle::kUnderline &&
                  TAVREL_TEXT_SIZE_MAX == CTavrelStyle::kMaxTextSize,
              "the C style constants are the library's");
static_assert(TAVREL_LAYOUT_AUTO == CSearchBar::kLayoutAuto &&
                  TAVREL_LAYOUT_LTR == CSearchBar::kLayoutLeftToRight &&
                  TAVREL_LAYOUT_RTL == CSearchBar::kLayoutRightToLeft,
              "the C layout directions are the bar's");

namespace {
// Runs work on the live bar behind handle, as a frame of the library's code:
// a host that destroys the bar meanwhile (from a message the work makes the
// system send it) has it freed only once the work returned. failure for a
// handle that names no live bar, or when work throws. work takes any of the
// bar's faces: CTavrel, CTavrelUnicode, CTavrelStyle, CTavrelSuggest.
template <typename Result, typename Work>
Result OnBar(TavrelBar* handle, Result failure, Work work) noexcept {
    return Guarded(failure, [&] {
        CSearchBar* bar = CBarHandles::Instance().Find(handle);
        if (!bar)
            return failure;
        const CCallDepth frame;
        return static_cast<Result>(work(*bar));
    });
}

template <typename Work> void OnBar(TavrelBar* handle, Work work) noexcept {
    OnBar(handle, 0, [&](CSearchBar& bar) {
        work(bar);
        return 0;
    });
}

// A narrow string in the ANSI code page as UTF-16; null stays null.
struct CodePageText {
    explicit CodePageText(const char* text) : isNull(!text) {
        const int length = text ? ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) : 0;
        if (length > 1) {
            wide.resize(static_cast<size_t>(length));
            ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
            wide.resize(static_cast<size_t>(length) - 1);
        }
    }
    const wchar_t* get() const { return isNull ? nullptr : wide.c_str(); }
    std::wstring wide;
    bool isNull;
};

// snprintf's contract: at most size - 1 units and a NUL, and the full length.
template <typename Char> int CopyOut(const std::basic_string<Char>& text, Char* buffer, int size) {
    if (buffer && size > 0) {
        const size_t copied = std::min(text.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, text.data(), copied * sizeof(Char));
        buffer[copied] = Char(0);
    }
    return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}
} // namespace

extern "C" {

int WINAPI TavrelStartup(void) {
    return Guarded(0, [] { return CInitGui::Startup(); });
}

void WINAPI TavrelCleanup(void) {
    Guarded([] {
        CBarRelease::FreeWaiting(); // destroyed bars go while GDI+ still runs
        CInitGui::Clearup();
    });
}

TavrelBar* WINAPI TavrelCreate(void) {
    return Guarded<TavrelBar*>(nullptr, []() -> TavrelBar* {
        // Every bar the factory makes is a CSearchBar.
        std::unique_ptr<CSearchBar> bar(static_cast<CSearchBar*>(CTavrel::CreateTavrel()));
        TavrelBar* handle = bar ? CBarHandles::Instance().Add(bar.get()) : nullptr;
        if (handle)
            bar.release(); // the table's now
        return handle;
    });
}

int WINAPI TavrelDestroyBar(TavrelBar* handle) {
    return Guarded(0, [=] {
        CSearchBar* bar = CBarHandles::Instance().Remove(handle);
        if (!bar)
            return 0;
        CBarRelease::Free(bar);
        return 1;
    });
}

void WINAPI TavrelSetBackgroundImage(TavrelBar* bar, const char* path, int cornerRadius) {
    OnBar(bar, [=](CTavrel& b) { b.SetBackgroundImage(path, cornerRadius); });
}

void WINAPI TavrelSetActiveBackgroundImage(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetActiveBackgroundImage(path); });
}

void WINAPI TavrelSetEngineIconImage(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetEngineIconImage(path); });
}

void WINAPI TavrelSetArrowImage(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetArrowImage(path); });
}

void WINAPI TavrelSetSearchButtonImage(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetSearchButtonImage(path); });
}

void WINAPI TavrelSetEngineListBackground(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetEngineListBackground(path); });
}

void WINAPI TavrelSetEngineListHighlight(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetEngineListHighlight(path); });
}

void WINAPI TavrelSetSuggestionListBackground(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetSuggestionListBackground(path); });
}

void WINAPI TavrelSetSuggestionListHighlight(TavrelBar* bar, const char* path) {
    OnBar(bar, [=](CTavrel& b) { b.SetSuggestionListHighlight(path); });
}

int WINAPI TavrelCreateBar(TavrelBar* bar, HWND hostWindow, const RECT* placement) {
    return OnBar(bar, 0, [=](CTavrel& b) { return b.CreateBar(hostWindow, placement); });
}

void WINAPI TavrelSetPosition(TavrelBar* bar, int x, int y) {
    OnBar(bar, [=](CTavrel& b) { b.SetPosition(x, y); });
}

void WINAPI TavrelUpdateLayout(TavrelBar* bar) {
    OnBar(bar, [](CTavrel& b) { b.UpdateLayout(); });
}

int WINAPI TavrelGetQueryText(TavrelBar* bar, char* buffer, int size) {
    return OnBar(bar, 0, [=](CTavrel& b) {
        std::string text;
        b.GetQueryText(text);
        return CopyOut(text, buffer, size);
    });
}

void WINAPI TavrelAddSuggestion(TavrelBar* bar, const char* text) {
    OnBar(bar, [=](CTavrel& b) { b.AddSuggestion(text); });
}

void WINAPI TavrelClearSuggestions(TavrelBar* bar) {
    OnBar(bar, [](CTavrel& b) { b.ClearSuggestions(); });
}

void WINAPI TavrelShowSuggestions(TavrelBar* bar) {
    OnBar(bar, [](CTavrel& b) { b.ShowSuggestions(); });
}

int WINAPI TavrelAddEngine(TavrelBar* bar, const char* iconPath, const char* name,
                           const char* urlPrefix) {
    return OnBar(bar, 0, [=](CTavrel& b) { return b.AddEngine(iconPath, name, urlPrefix); });
}

const char* WINAPI TavrelGetEngineName(TavrelBar* bar) {
    return OnBar<const char*>(bar, nullptr, [](CTavrel& b) { return b.GetEngineName(); });
}

const char* WINAPI TavrelGetEngineUrl(TavrelBar* bar) {
    return OnBar<const char*>(bar, nullptr, [](CTavrel& b) { return b.GetEngineUrl(); });
}

int WINAPI TavrelGetEngineIndex(TavrelBar* bar) {
    return OnBar(bar, 0, [](CTavrel& b) { return b.GetEngineIndex(); });
}

void WINAPI TavrelSetSettingsFile(TavrelBar* bar, const char* iniPath) {
    OnBar(bar, [=](CTavrel& b) { b.SetSettingsFile(iniPath); });
}

void WINAPI TavrelShowBar(TavrelBar* bar, int showCommand) {
    OnBar(bar, [=](CTavrel& b) { b.ShowBar(showCommand); });
}

HWND WINAPI TavrelGetWindowHandle(TavrelBar* bar) {
    return OnBar<HWND>(bar, nullptr, [](CTavrel& b) { return b.GetWindowHandle(); });
}

void WINAPI TavrelSetBackgroundImageW(TavrelBar* bar, const WCHAR* path, int cornerRadius) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetBackgroundImageW(path, cornerRadius); });
}

void WINAPI TavrelSetActiveBackgroundImageW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetActiveBackgroundImageW(path); });
}

void WINAPI TavrelSetEngineIconImageW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetEngineIconImageW(path); });
}

void WINAPI TavrelSetArrowImageW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetArrowImageW(path); });
}

void WINAPI TavrelSetSearchButtonImageW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetSearchButtonImageW(path); });
}

void WINAPI TavrelSetEngineListBackgroundW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetEngineListBackgroundW(path); });
}

void WINAPI TavrelSetEngineListHighlightW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetEngineListHighlightW(path); });
}

void WINAPI TavrelSetSuggestionListBackgroundW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetSuggestionListBackgroundW(path); });
}

void WINAPI TavrelSetSuggestionListHighlightW(TavrelBar* bar, const WCHAR* path) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetSuggestionListHighlightW(path); });
}

int WINAPI TavrelGetQueryTextW(TavrelBar* bar, WCHAR* buffer, int size) {
    return OnBar(bar, 0, [=](CTavrelUnicode& b) {
        std::wstring text;
        b.GetQueryTextW(text);
        return CopyOut(text, buffer, size);
    });
}

void WINAPI TavrelAddSuggestionW(TavrelBar* bar, const WCHAR* text) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.AddSuggestionW(text); });
}

int WINAPI TavrelAddEngineW(TavrelBar* bar, const WCHAR* iconPath, const WCHAR* name,
                            const WCHAR* urlPrefix) {
    return OnBar(bar, 0,
                 [=](CTavrelUnicode& b) { return b.AddEngineW(iconPath, name, urlPrefix); });
}

const WCHAR* WINAPI TavrelGetEngineNameW(TavrelBar* bar) {
    return OnBar<const WCHAR*>(bar, nullptr, [](CTavrelUnicode& b) { return b.GetEngineNameW(); });
}

const WCHAR* WINAPI TavrelGetEngineUrlW(TavrelBar* bar) {
    return OnBar<const WCHAR*>(bar, nullptr, [](CTavrelUnicode& b) { return b.GetEngineUrlW(); });
}

void WINAPI TavrelSetSettingsFileW(TavrelBar* bar, const WCHAR* iniPath) {
    OnBar(bar, [=](CTavrelUnicode& b) { b.SetSettingsFileW(iniPath); });
}

int WINAPI TavrelSetListTextStyleW(TavrelBar* bar, int list, const WCHAR* family, int size,
                                   DWORD argb, int flags) {
    return OnBar(bar, 0, [=](CTavrelStyle& b) {
        return b.SetListTextStyleW(list, family, size, argb, flags);
    });
}

int WINAPI TavrelSetListTextStyle(TavrelBar* bar, int list, const char* family, int size,
                                  DWORD argb, int flags) {
    return OnBar(bar, 0, [=](CTavrelStyle& b) {
        const CodePageText wide(family);
        return b.SetListTextStyleW(list, wide.get(), size, argb, flags);
    });
}

int WINAPI TavrelSetListHighlightTextColor(TavrelBar* bar, int list, DWORD argb) {
    return OnBar(bar, 0, [=](CTavrelStyle& b) { return b.SetListHighlightTextColor(list, argb); });
}

int WINAPI TavrelSetQueryFieldStyleW(TavrelBar* bar, const WCHAR* family, int size,
                                     COLORREF textRgb, COLORREF backgroundRgb) {
    return OnBar(bar, 0, [=](CTavrelStyle& b) {
        return b.SetQueryFieldStyleW(family, size, textRgb, backgroundRgb);
    });
}

int WINAPI TavrelSetQueryFieldStyle(TavrelBar* bar, const char* family, int size, COLORREF textRgb,
                                    COLORREF backgroundRgb) {
    return OnBar(bar, 0, [=](CTavrelStyle& b) {
        const CodePageText wide(family);
        return b.SetQueryFieldStyleW(wide.get(), size, textRgb, backgroundRgb);
    });
}

int WINAPI TavrelSetSuggestionUrlW(TavrelBar* bar, int engineIndex, const WCHAR* urlTemplate) {
    return OnBar(bar, 0,
                 [=](CTavrelSuggest& b) { return b.SetSuggestionUrlW(engineIndex, urlTemplate); });
}

int WINAPI TavrelSetSuggestionUrl(TavrelBar* bar, int engineIndex, const char* urlTemplate) {
    return OnBar(bar, 0, [=](CTavrelSuggest& b) {
        const CodePageText wide(urlTemplate);
        return b.SetSuggestionUrlW(engineIndex, wide.get());
    });
}

int WINAPI TavrelSetHistoryFileW(TavrelBar* bar, const WCHAR* path, int maxEntries) {
    return OnBar(bar, 0, [=](CSearchBar& b) { return b.SetHistoryFileW(path, maxEntries); });
}

int WINAPI TavrelSetHistoryFile(TavrelBar* bar, const char* path, int maxEntries) {
    return OnBar(bar, 0, [=](CSearchBar& b) {
        const CodePageText wide(path);
        return b.SetHistoryFileW(wide.get(), maxEntries);
    });
}

int WINAPI TavrelClearHistory(TavrelBar* bar) {
    return OnBar(bar, 0, [](CSearchBar& b) { return b.ClearHistory(); });
}

int WINAPI TavrelGetHistoryCount(TavrelBar* bar) {
    return OnBar(bar, 0, [](CSearchBar& b) { return b.history.Count(); });
}

int WINAPI TavrelGetHistoryEntryW(TavrelBar* bar, int index, WCHAR* buffer, int size) {
    return OnBar(bar, -1, [=](CSearchBar& b) {
        const std::wstring* entry = b.history.Entry(index);
        return entry ? CopyOut(*entry, buffer, size) : -1;
    });
}

int WINAPI TavrelSetLayoutDirection(TavrelBar* bar, int direction) {
    return OnBar(bar, 0, [=](CSearchBar& b) { return b.SetLayoutDirection(direction); });
}

// The bars' PreTranslateMessage runs inside: a frame of the library's code.
BOOL WINAPI TavrelPreTranslateMessage(MSG* msg) {
    return msg ? Guarded<BOOL>(FALSE,
                               [=] {
                                   const CCallDepth frame;
                                   return AfxPreTranslateMessage(msg);
                               })
               : FALSE;
}

DWORD WINAPI TavrelGetVersion(void) {
    return TAVREL_VERSION;
}

} // extern "C"
