// TavrelC.dll: the C interface. A host of Tavrel.dll like any other: each
// function forwards to one operation of the bar's C++ interface (Tavrel.h) or
// to the framework's pre-translation, checks the bar for null first and lets
// no exception out (Guarded.h). The exported names come from TavrelC.def.
#include "tavrel_c.h"

#include "Guarded.h"
#include "Tavrel.h"
#include <afxwin.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

static_assert(TAVREL_UM_ENGINE_CHOSEN == UM_ENGINE_CHOSEN &&
                  TAVREL_UM_QUERY_COMMAND == UM_QUERY_COMMAND &&
                  TAVREL_UM_QUERY_CHANGED == UM_QUERY_CHANGED &&
                  TAVREL_UM_SEARCH_LAUNCHED == UM_SEARCH_LAUNCHED,
              "the C message numbers are the library's");

namespace {
// TavrelBar is never defined: a TavrelBar* is the bar's CTavrel* under
// another name, so that C sees an opaque type.
TavrelBar* Handle(CTavrel* bar) {
    return reinterpret_cast<TavrelBar*>(bar);
}

// Runs work on the bar; failure when the bar is null or work throws.
template <typename Result, typename Work>
Result OnBar(TavrelBar* handle, Result failure, Work work) noexcept {
    CTavrel* bar = reinterpret_cast<CTavrel*>(handle);
    return bar ? Guarded(failure, [&] { return work(*bar); }) : failure;
}

template <typename Work> void OnBar(TavrelBar* handle, Work work) noexcept {
    OnBar(handle, 0, [&](CTavrel& bar) {
        work(bar);
        return 0;
    });
}

// snprintf's contract: at most size - 1 bytes and a NUL, and the full length.
int CopyOut(const std::string& text, char* buffer, int size) {
    if (buffer && size > 0) {
        const size_t copied = std::min(text.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, text.data(), copied);
        buffer[copied] = '\0';
    }
    return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}
} // namespace

extern "C" {

int WINAPI TavrelStartup(void) {
    return Guarded(0, [] { return CInitGui::Startup(); });
}

void WINAPI TavrelCleanup(void) {
    Guarded([] { CInitGui::Clearup(); });
}

TavrelBar* WINAPI TavrelCreate(void) {
    return Guarded<TavrelBar*>(nullptr, [] { return Handle(CTavrel::CreateTavrel()); });
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

BOOL WINAPI TavrelPreTranslateMessage(MSG* msg) {
    return msg ? Guarded<BOOL>(FALSE, [=] { return AfxPreTranslateMessage(msg); }) : FALSE;
}

DWORD WINAPI TavrelGetVersion(void) {
    return TAVREL_VERSION;
}

} // extern "C"
