// CSearchBar: the object behind every CTavrel. It is the bar window
// ("GUI_AFX", a layered owned top-level window painted from the skin images)
// and implements the host's 23 operations. It owns its images, its back
// buffer, its copy of the current engine and its three children: the query
// edit frame, the engine list and the suggestion list.
//
// Every text it holds is UTF-16 (the W members); the narrow members beside
// them are the ANSI-code-page form the 23 slots give and take, the host's
// very bytes where they came through a slot. The bar's CTavrelUnicode face
// takes and gives UTF-16 (the C interface's W functions use it).
//
// Its sources are split by concern: SearchBar.cpp (creation and teardown),
// SearchBarPaint.cpp, SearchBarLayout.cpp, SearchBarEngines.cpp,
// SearchBarInput.cpp, SearchBarAccess.cpp (the accessible object and the
// engine list's keys), SearchBarSuggest.cpp (live suggestions: the
// suggestion URLs, the pause in typing, the fetch and its answer) and
// SearchBarHistory.cpp (recent searches: recording, offering, removing).
#pragma once
#include "../frame/Messages.h"
#include "../frame/Tavrel.h"
#include "../frame/TavrelStyle.h"
#include "../frame/TavrelSuggest.h"
#include "../frame/TavrelUnicode.h"
#include "../history/CHistoryFile.h"
#include "../input/FieldLook.h"
#include "../popup/ListTextLook.h"
#include "../popup/EngineItem.h"
#include "../render/CDpiScale.h"
#include "../render/CSkinImage.h"
#include "../suggest/SuggestionFetcher.h"
#include <afxwin.h>
#include <string>

class CBarAccessible;
class CGuiEdit;
class CEngineList;
class CSuggestionList;

namespace Gdiplus {
class Graphics;
}

class CSearchBar : public CWnd,
                   public CTavrel,
                   public CTavrelUnicode,
                   public CTavrelStyle,
                   public CTavrelSuggest {
public:
    CSearchBar();
    ~CSearchBar() override;

    // CWnd
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Runs as a frame of the library's code (CCallDepth).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // CTavrel
    void SetBackgroundImage(const char* path, int cornerRadius) override;
    void SetActiveBackgroundImage(const char* path) override;
    void SetEngineIconImage(const char* path) override;
    void SetArrowImage(const char* path) override;
    void SetSearchButtonImage(const char* path) override;
    void SetEngineListBackground(const char* path) override;
    void SetEngineListHighlight(const char* path) override;
    void SetSuggestionListBackground(const char* path) override;
    void SetSuggestionListHighlight(const char* path) override;
    int CreateBar(HWND hostWindow, const RECT* placement) override;
    void SetPosition(int x, int y) override;
    void UpdateLayout() override;
    void GetQueryText(std::string& text) override;
    void AddSuggestion(const char* text) override;
    void ClearSuggestions() override;
    void ShowSuggestions() override;
    int AddEngine(const char* iconPath, const char* name, const char* urlPrefix) override;
    const char* GetEngineName() override;
    const char* GetEngineUrl() override;
    int GetEngineIndex() override;
    void SetSettingsFile(const char* iniPath) override;
    void ShowBar(int showCommand) override;
    HWND GetWindowHandle() override;

    // CTavrelUnicode
    void SetBackgroundImageW(const wchar_t* path, int cornerRadius) override;
    void SetActiveBackgroundImageW(const wchar_t* path) override;
    void SetEngineIconImageW(const wchar_t* path) override;
    void SetArrowImageW(const wchar_t* path) override;
    void SetSearchButtonImageW(const wchar_t* path) override;
    void SetEngineListBackgroundW(const wchar_t* path) override;
    void SetEngineListHighlightW(const wchar_t* path) override;
    void SetSuggestionListBackgroundW(const wchar_t* path) override;
    void SetSuggestionListHighlightW(const wchar_t* path) override;
    void GetQueryTextW(std::wstring& text) override;
    void AddSuggestionW(const wchar_t* text) override;
    int AddEngineW(const wchar_t* iconPath, const wchar_t* name, const wchar_t* urlPrefix) override;
    const wchar_t* GetEngineNameW() override;
    const wchar_t* GetEngineUrlW() override;
    void SetSettingsFileW(const wchar_t* iniPath) override;

    // CTavrelStyle (SearchBarStyle.cpp)
    int SetListTextStyleW(int list, const wchar_t* family, int size, DWORD argb,
                          int flags) override;
    int SetListHighlightTextColor(int list, DWORD argb) override;
    int SetQueryFieldStyleW(const wchar_t* family, int size, COLORREF textRgb,
                            COLORREF backgroundRgb) override;

    // CTavrelSuggest (SearchBarSuggest.cpp)
    int SetSuggestionUrlW(int engineIndex, const wchar_t* urlTemplate) override;
    // The pause in typing after which the query is asked, in milliseconds.
    static constexpr UINT kLiveSuggestionPauseMs = 80;
    // Drops the pause and the request in flight, if any; nothing more
    // reaches the bar from them (TavrelCleanup, a destroyed window).
    void StopLiveSuggestions();
    // Tells every bar the factory made to stop (CInitGui::Clearup).
    static void StopAllLiveSuggestions();

    // Recent searches (SearchBarHistory.cpp). Off until a file is named;
    // a null or empty path turns them off. 1 on success, 0 and nothing
    // changed otherwise (CHistoryFile::Open).
    int SetHistoryFileW(const wchar_t* path, int maxEntries);
    // Forgets every entry and takes the recent rows off the list.
    int ClearHistory();
    // Recent rows shown while typing, and on Down in the empty field.
    static constexpr size_t kRecentRowsWhileTyping = 3;
    CHistoryFile history;

    // Layout direction (the C interface's TAVREL_LAYOUT_ values). Auto
    // lays the bar out right to left when its host window had
    // WS_EX_LAYOUTRTL when the bar was created. 1 when applied, 0 for
    // another value; a created bar is laid out again at once.
    static constexpr int kLayoutAuto = 0;
    static constexpr int kLayoutLeftToRight = 1;
    static constexpr int kLayoutRightToLeft = 2;
    int SetLayoutDirection(int direction);
    bool RightToLeft() const;

    // Draws the skin images into the back buffer and pushes it to the
    // screen with UpdateLayeredWindow.
    void Compose(Gdiplus::Graphics* graphics);
    // Address of UpdateLayeredWindow, looked up at run time, or null.
    static FARPROC GetUpdateLayeredWindow();
    // The search URL of a narrow engine for a query in the ANSI code page:
    // the prefix, then every byte of the query outside the unreserved set as
    // %XX; a prefix holding {searchTerms} gets the query there, in UTF-8.
    // (SearchUrl.h has the whole rule.)
    static std::string BuildSearchUrl(const std::string& urlPrefix, const std::string& query);
    // The URL a search for the query opens with the current engine. The
    // query's code-page bytes, where the caller has them, are used as they
    // are; otherwise they are converted from the query.
    std::wstring SearchUrlFor(const std::wstring& query,
                              const std::string* queryInCodePage = nullptr) const;
    // Opens the engine list (if closed) with the current engine highlighted,
    // as Alt+Down and F4 in the query field do.
    void OpenEngineListFromKeyboard();
    // What a click on the search button does.
    void PressSearchButton();
    bool EngineListOpen() const;

    CSkinImage backgroundImage;
    CSkinImage activeBackgroundImage;
    CSkinImage engineIconImage;
    CSkinImage arrowImage;
    CSkinImage searchButtonImage;
    std::string backgroundPath;
    std::string shownIconPath; // the file engineIconImage was loaded from
    std::string activeBackgroundPath;
    std::string engineIconPath;
    std::string arrowPath;
    std::string searchButtonPath;
    std::string engineListBackgroundPath;
    std::string engineListHighlightPath;
    std::string suggestionListBackgroundPath;
    std::string suggestionListHighlightPath;
    std::string settingsPath;
    std::wstring backgroundPathW;
    std::wstring shownIconPathW;
    std::wstring activeBackgroundPathW;
    std::wstring engineIconPathW;
    std::wstring arrowPathW;
    std::wstring searchButtonPathW;
    std::wstring engineListBackgroundPathW;
    std::wstring engineListHighlightPathW;
    std::wstring suggestionListBackgroundPathW;
    std::wstring suggestionListHighlightPathW;
    std::wstring settingsPathW;
    RECT engineHitRect{};
    RECT searchButtonHitRect{};
    int active = 0;
    EngineItem currentEngine;
    CGuiEdit* queryEdit = nullptr;
    CEngineList* engineList = nullptr;
    CSuggestionList* suggestionList = nullptr;
    HDC windowDC = nullptr;
    HDC bufferDC = nullptr;
    HBITMAP bufferBitmap = nullptr;
    int engineIndex = 0;
    int barWidth = 0;
    int barHeight = 0;
    int iconX = 6;
    int iconY = 6;
    int arrowX = 25;
    int arrowY = 6;
    int searchButtonX = 0;
    int searchButtonY = 0;
    int editX = 0;
    int editY = 0;
    // The positions above are those of a left-to-right bar; a right-to-left
    // one shows each mirrored within the bar's width (ShownX).
    int layoutDirection = kLayoutAuto;
    bool hostRightToLeft = false; // WS_EX_LAYOUTRTL on the host at creation
    // Set when the bar's window was resized or shown: that can stack it over
    // its own field and popups, so the next paint puts them back above it
    // without first asking whether they already lead the z-order.
    bool restackAfterLayout = true;
    // The host window's DPI, read at creation and on WM_DPICHANGED; every
    // size and skin picture of the bar and its children follows it.
    CDpiScale dpiScale;
    int cornerRadius = 0; // at 96 DPI, as the host gave it
    // The text styles the host chose, kept for lists and a field made later.
    ListTextLook engineTextLook;
    ListTextLook suggestionTextLook;
    FieldLook fieldLook;
    CBarAccessible* accessible = nullptr; // made on the first request
    // Live suggestions: the fetcher of the current engine's suggestion URL,
    // the query the pause waits to ask (then the one asked), the query the
    // shown rows belong to, and which engine (by generation) was asked.
    CSuggestionFetcher liveFetcher;
    std::wstring liveQuery;
    std::wstring liveRowsQuery;
    unsigned engineGeneration = 0;
    unsigned liveAskedGeneration = 0;

protected:
    void DestroySuggestionList();
    void RecreateSuggestionList();
    void RebuildBuffer();
    // Opens the search URL for the query and tells the host.
    void RunSearch(const std::wstring& text, const std::string* textInCodePage = nullptr);

private:
    bool HasWindow() const;
    // Loads an image when the bar's window (and so its DC) exists.
    void LoadSkin(CSkinImage& image, const std::wstring& path);
    // A path from the host in both forms; false (and nothing kept) for a
    // null or empty one.
    static bool TakePath(const char* path, std::string& narrow, std::wstring& wide);
    static bool TakePath(const wchar_t* path, std::string& narrow, std::wstring& wide);
    // What each skin setter does once its paths are kept.
    void ApplyBackgroundImage(int radius);
    void ApplyEngineIconImage();
    void ApplyArrowImage();
    void ApplySearchButtonImage();
    void ApplySettingsFile();
    // After an engine was added: the first becomes current.
    void AdoptFirstEngine();
    void AdoptEngine(const EngineItem& item);
    int ReadStoredIndex() const;
    void WriteStoredIndexZero() const;
    void Activate();
    void Deactivate();
    BOOL OnSearchKey();
    bool SuggestionListVisible() const;
    void PutTextIntoField(const std::wstring& text);
    void PostToHost(UINT message, WPARAM wParam, LPARAM lParam) const;
    void PlaceEditFrame(int barLeft, int barTop);
    // Where something that starts at x and is width wide in a left-to-right
    // bar shows in this bar's direction.
    int ShownX(int x, int width) const;
    RECT ShownRect(const RECT& leftToRight) const;
    // A list directly under the bar: at its left edge, or right-aligned
    // with it in a right-to-left bar.
    void PlaceListUnderBar(CWnd* list, int barLeft, int barBottom);
    // The engine list's width follows its rows, which may have changed
    // since the bar was placed; a right-to-left bar aligns it again.
    void ShowEngineList();
    // Hands the direction to the field and the lists, then lays out.
    void ApplyLayoutDirection();
    int ArrowSpace() const;
    // Where the arrow starts: after the icon and a gap, or at a fixed offset.
    int ArrowXAfterIcon() const;
    // The icon and arrow positions a new bar has, at the bar's scale.
    void ResetPositionsToDefaults();
    // The bar's own loaded skins loaded again at the bar's scale.
    void ReloadSkinsAtScale();
    // The shown field and popups above the bar. Unless forced, nothing is
    // moved when they already lead the z-order in that order.
    void RaiseChildrenAboveBar(bool force = false);
    static bool ChildrenLeadZOrder(const HWND* shown, int count);
    void ReleaseBackBuffer();
    // The look of the list the host names, or null for no such list.
    ListTextLook* TextLookOf(int list);
    // Hands a list's look to that list, where it exists.
    void ApplyTextLook(int list);
    // Keys for the engine list; TRUE when the key must go no further.
    BOOL OnEngineListKey(const MSG* pMsg);
    // Closes the open engine list, choosing its highlighted row when asked,
    // and gives the focus back to the query field.
    void CloseEngineListFromKeyboard(bool choose);
    // After a query change by the user: the pause starts again when the
    // current engine has a suggestion URL. Takes the text.
    void QueueLiveSuggestions(std::wstring& query);
    // After a query change by the user: the recent searches that begin
    // with it replace the recent rows of the list, which shows when it has
    // rows and the field has the focus.
    void OfferRecentSearches(const std::wstring& query, size_t limit);
    // Down in the empty field opens the list with the newest searches,
    // none highlighted; TRUE when it did.
    BOOL OnRecentSearchesKey(const MSG* pMsg);
    // Shift+Delete on a highlighted recent row removes that search; TRUE
    // when a row was highlighted.
    BOOL OnRemoveRecentKey(const MSG* pMsg);
    // Applies a response: rows, a hidden list, or nothing.
    void ApplyLiveSuggestions(const SuggestionResponse& response);

    afx_msg void OnPaint();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnEditUpdated(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEngineChosen(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryCommand(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnBarDeactivate(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWindowDestroy(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLiveSuggestions(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnComposition(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
