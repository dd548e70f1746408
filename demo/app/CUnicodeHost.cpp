// CUnicodeHost: a Unicode window class, its bar made and fed through the W
// functions, and the suggestions it offers for each query.
#include "CUnicodeHost.h"

namespace {
const wchar_t kClassName[] = L"TAVREL_DEMO_UNICODE";
const wchar_t kDarkClassName[] = L"TAVREL_DEMO_DARK";
const wchar_t kTextFamily[] = L"DejaVu Sans";
constexpr COLORREF kDarkWindow = RGB(0x16, 0x18, 0x1C);
constexpr DWORD kRowText = 0xFFE6EAF0;
constexpr DWORD kHighlightedRowText = 0xFFFFFFFF;
constexpr COLORREF kFieldText = RGB(0xF2, 0xF4, 0xF8);
constexpr COLORREF kFieldBackground = RGB(0x20, 0x23, 0x28); // the dark bar's body
constexpr int kWidth = 460;
constexpr int kHeight = 110;
constexpr int kBarLeft = 20;
constexpr int kBarTop = 20;
} // namespace

CUnicodeHost::CUnicodeHost(const CSkinFiles& skin, bool dark) : skin(skin), dark(dark) {}

CUnicodeHost::~CUnicodeHost() {
    if (window)
        ::DestroyWindow(window);
}

// The demo's skin paths are in the ANSI code page.
std::wstring CUnicodeHost::SkinPath(const char* file) const {
    const std::string path = skin.Path(file);
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

bool CUnicodeHost::Create(int x, int y) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CUnicodeHost::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    // The class keeps its brush for the life of the process.
    wc.hbrBackground = dark ? ::CreateSolidBrush(kDarkWindow)
                            : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = dark ? kDarkClassName : kClassName;
    if (!::RegisterClassW(&wc) && dark)
        ::DeleteObject(wc.hbrBackground); // registered before, with its own brush
    window = ::CreateWindowExW(rightToLeft ? WS_EX_LAYOUTRTL : 0, wc.lpszClassName, Title(),
                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y, kWidth, kHeight,
                               nullptr, nullptr, wc.hInstance, this);
    if (!window)
        return false;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    bar = TavrelCreate();
    POINT at = BarPlace(0);
    const RECT placement = {at.x, at.y, 0, 0};
    if (!bar || TavrelCreateBar(bar, window, &placement) != 1)
        return false;
    TavrelSetBackgroundImageW(bar, SkinPath(CSkinFiles::kBackground).c_str(), skin.CornerRadius());
    TavrelSetActiveBackgroundImageW(bar, SkinPath(CSkinFiles::kActiveBackground).c_str());
    TavrelSetEngineIconImageW(bar, SkinPath(CSkinFiles::kEngineIcon).c_str());
    TavrelSetArrowImageW(bar, SkinPath(CSkinFiles::kArrow).c_str());
    TavrelSetSearchButtonImageW(bar, SkinPath(CSkinFiles::kSearchButton).c_str());
    TavrelSetEngineListBackgroundW(bar, SkinPath(CSkinFiles::kEngineList).c_str());
    TavrelSetEngineListHighlightW(bar, SkinPath(CSkinFiles::kEngineListHighlight).c_str());
    TavrelSetSuggestionListBackgroundW(bar, SkinPath(CSkinFiles::kSuggestionList).c_str());
    TavrelSetSuggestionListHighlightW(bar,
                                      SkinPath(CSkinFiles::kSuggestionListHighlight).c_str());
    const std::wstring icon = SkinPath(CSkinFiles::kEngineIcon);
    if (rightToLeft) {
        TavrelAddEngineW(bar, icon.c_str(), L"بحث", L"https://bahth.example/?q={searchTerms}");
        TavrelAddEngineW(bar, icon.c_str(), L"חיפוש", L"https://chipus.example/?q={searchTerms}");
    } else {
        TavrelAddEngineW(bar, icon.c_str(), L"Поиск", L"https://poisk.example/?q={searchTerms}");
        TavrelAddEngineW(bar, icon.c_str(), L"搜索", L"https://sousuo.example/s?wd=");
    }
    if (!suggestionUrl.empty() && TavrelSetSuggestionUrlW(bar, 0, suggestionUrl.c_str()) != 1)
        return false;
    if (dark)
        ApplyDarkTextStyles();
    if (!historyFile.empty() && !AddHistory())
        return false;
    RECT barRect{};
    ::GetWindowRect(TavrelGetWindowHandle(bar), &barRect);
    at = BarPlace(barRect.right - barRect.left);
    TavrelSetPosition(bar, at.x, at.y);
    TavrelUpdateLayout(bar);
    TavrelShowBar(bar, SW_SHOW);
    return true;
}

const wchar_t* CUnicodeHost::Title() const {
    if (rightToLeft)
        return L"Right to left (عربي)";
    if (dark)
        return L"Dark skin (text styles)";
    if (!historyFile.empty())
        return L"Recent searches";
    return suggestionUrl.empty() ? L"Unicode host (the W functions)"
                                 : L"Live suggestions (a loopback server)";
}

// A mirrored window's client x runs from its right edge, so the bar's left
// edge is the client point at its far end.
POINT CUnicodeHost::BarPlace(int barWidth) const {
    POINT at = {rightToLeft ? kBarLeft + barWidth : kBarLeft, kBarTop};
    ::ClientToScreen(window, &at);
    return at;
}

void CUnicodeHost::ApplyDarkTextStyles() {
    for (int list : {TAVREL_LIST_ENGINES, TAVREL_LIST_SUGGESTIONS}) {
        TavrelSetListTextStyleW(bar, list, kTextFamily, 13, kRowText, 0);
        TavrelSetListHighlightTextColor(bar, list, kHighlightedRowText);
    }
    TavrelSetQueryFieldStyleW(bar, kTextFamily, 13, kFieldText, kFieldBackground);
}

std::wstring CUnicodeHost::Query() const {
    WCHAR text[256] = {};
    if (bar && TavrelGetQueryTextW(bar, text, 256) < 256)
        return text;
    return std::wstring();
}

// The host's own button below the bar: the user's way to forget them.
bool CUnicodeHost::AddHistory() {
    if (TavrelSetHistoryFileW(bar, historyFile.c_str(), 0) != 1)
        return false;
    clearHistoryButton = ::CreateWindowExW(0, L"BUTTON", L"Clear history",
                                           WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, kBarLeft, kBarTop + 36, 120, 24,
                                           window, reinterpret_cast<HMENU>(kClearHistoryId),
                                           ::GetModuleHandleW(nullptr), nullptr);
    return clearHistoryButton != nullptr;
}

void CUnicodeHost::Suggest() {
    const std::wstring query = Query();
    TavrelClearSuggestions(bar);
    for (const std::wstring& proposal : Proposals(query))
        TavrelAddSuggestionW(bar, proposal.c_str());
    TavrelShowSuggestions(bar);
}

std::vector<std::wstring> CUnicodeHost::Proposals(const std::wstring& query) const {
    if (rightToLeft)
        return {query + L" عليكم", query + L" وسلام",
                L"Salam Radio 98.1", query + L" עולם"};
    return {query + L" во всём мире", query + L" 世界和平", query + L" 平和", L"سلام " + query};
}

LRESULT CALLBACK CUnicodeHost::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CUnicodeHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == TAVREL_UM_QUERY_CHANGED) {
        ++self->queryChanges;
        if (self->suggestionUrl.empty())
            self->Suggest();
        return 0;
    }
    if (self && message == TAVREL_UM_SEARCH_LAUNCHED) {
        ++self->searchesLaunched;
        return 0;
    }
    if (self && message == WM_COMMAND && LOWORD(wParam) == kClearHistoryId) {
        TavrelClearHistory(self->bar);
        return 0;
    }
    if (self && message == WM_NCDESTROY)
        self->window = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
}
