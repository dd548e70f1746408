// CUnicodeHost: the tour's second host, written against the C interface's
// W functions alone (tavrel_c.h): a small Unicode window with a bar whose
// engines, query and suggestions are in Russian, Chinese and Arabic, to show
// text in other scripts, with real glyphs and right-to-left rows. Made dark,
// it is also the tour's dark-skin host: a dark window, the dark skin, and
// light text in both lists and the query field through the text styles.
// Given a suggestion URL, it is the tour's host of live suggestions: the bar
// asks the URL itself while the user types. Given a history file, it is the
// tour's host of recent searches, with a "Clear history" button. Laid out
// right to left, it is the tour's host of a program localized for Arabic:
// its window mirrored, its engines, query and suggestions in Arabic and
// Hebrew, with one left-to-right suggestion among them.
#pragma once
#include "CSkinFiles.h"
#include "tavrel_c.h"
#include <string>
#include <vector>
#include <windows.h>

class CUnicodeHost {
  public:
    explicit CUnicodeHost(const CSkinFiles& skin, bool dark = false);
    ~CUnicodeHost();
    CUnicodeHost(const CUnicodeHost&) = delete;
    CUnicodeHost& operator=(const CUnicodeHost&) = delete;

    // Before Create: the bar fetches its suggestions for the first engine
    // from this URL template itself, and the host offers none of its own.
    void UseSuggestionUrl(const std::wstring& urlTemplate) { suggestionUrl = urlTemplate; }
    // Before Create: the bar keeps recent searches in this file.
    void UseHistoryFile(const std::wstring& path) { historyFile = path; }
    // Before Create: the window is laid out right to left (WS_EX_LAYOUTRTL),
    // and the bar follows it by default.
    void UseRightToLeftLayout() { rightToLeft = true; }
    // The window at (x, y) with its bar, shown; false when either fails.
    bool Create(int x, int y);
    HWND Window() const { return window; }
    HWND Bar() const { return bar ? TavrelGetWindowHandle(bar) : nullptr; }
    std::wstring Query() const;
    int QueryChanges() const { return queryChanges; }
    int SearchesLaunched() const { return searchesLaunched; }
    int HistoryCount() const { return bar ? TavrelGetHistoryCount(bar) : 0; }
    HWND ClearHistoryButton() const { return clearHistoryButton; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The host's answer to a changed query: proposals in several scripts.
    void Suggest();
    std::vector<std::wstring> Proposals(const std::wstring& query) const;
    // The bar's screen position: its leading corner, which a mirrored
    // window has at its right.
    POINT BarPlace(int barWidth) const;
    const wchar_t* Title() const;
    std::wstring SkinPath(const char* file) const;
    bool AddHistory();
    static constexpr int kClearHistoryId = 101;
    // Light text for the dark skin.
    void ApplyDarkTextStyles();

    CSkinFiles skin;
    bool dark;
    bool rightToLeft = false;
    HWND window = nullptr;
    TavrelBar* bar = nullptr;
    int queryChanges = 0;
    int searchesLaunched = 0;
    std::wstring suggestionUrl;
    std::wstring historyFile;
    HWND clearHistoryButton = nullptr;
};
