// CSearchBar input: clicks on the engine area and the search button, the
// active state, Enter and Escape in the query field, the messages of the
// query edit frame and the suggestion list, and the searches they start.
#include "../input/CGuiEdit.h"
#include "../launch/LaunchSearch.h"
#include "../launch/SearchUrl.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include "../render/AnsiToWide.h"
#include "CSearchBar.h"

namespace {
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is a UTF-16 unit");

// The search-URL builder is portable code on char16_t.
std::u16string ToU16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring FromU16(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}
} // namespace

// Without the placeholder: the query's bytes stay the ANSI bytes the user
// typed; each one outside the unreserved set is escaped, so '&', '#', '+',
// '%', blanks and quotes reach the server as text and never split a command
// line.
std::string CSearchBar::BuildSearchUrl(const std::string& urlPrefix, const std::string& query) {
    const std::wstring prefix = AnsiBytesToWide(urlPrefix);
    if (!SearchUrl::HasPlaceholder(ToU16(prefix)))
        return urlPrefix + SearchUrl::PercentEncode(query);
    return WideToAnsi(FromU16(SearchUrl::Build(ToU16(prefix), ToU16(AnsiBytesToWide(query)),
                                               SearchUrl::AppendedBytes::CodePage, query)));
}

std::wstring CSearchBar::SearchUrlFor(const std::wstring& query,
                                      const std::string* queryInCodePage) const {
    const SearchUrl::AppendedBytes appended = currentEngine.wideRegistration
                                                  ? SearchUrl::AppendedBytes::Utf8
                                                  : SearchUrl::AppendedBytes::CodePage;
    const std::string converted =
        appended == SearchUrl::AppendedBytes::CodePage && !queryInCodePage ? WideToAnsi(query)
                                                                           : std::string();
    return FromU16(SearchUrl::Build(ToU16(currentEngine.urlPrefixW), ToU16(query), appended,
                                    queryInCodePage ? *queryInCodePage : converted));
}

// Suggestions still to come would open the list after the search. The
// search is in the history file before the host hears of it.
void CSearchBar::RunSearch(const std::wstring& text, const std::string* textInCodePage) {
    StopLiveSuggestions();
    if (!LaunchSearchW(SearchUrlFor(text, textInCodePage).c_str()))
        return;
    history.Record(text);
    PostToHost(UM_SEARCH_LAUNCHED, 0, 0);
}

void CSearchBar::PostToHost(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (HWND host = ::GetParent(m_hWnd))
        ::PostMessageA(host, message, wParam, lParam);
}

bool CSearchBar::SuggestionListVisible() const {
    return suggestionList && ::IsWindowVisible(suggestionList->m_hWnd);
}

void CSearchBar::OnLButtonDown(UINT nFlags, CPoint point) {
    if (::PtInRect(&engineHitRect, point) && engineList)
        ShowEngineList();
    if (::PtInRect(&searchButtonHitRect, point))
        PressSearchButton();
    CWnd::OnLButtonDown(nFlags, point);
    RaiseChildrenAboveBar();
}

void CSearchBar::PressSearchButton() {
    if (suggestionList)
        suggestionList->Hide();
    PostMessage(UM_QUERY_COMMAND, 1, 0); // the search itself, first
    PostToHost(UM_QUERY_COMMAND, 0, 0);
}

void CSearchBar::OnMouseMove(UINT nFlags, CPoint point) {
    if (::PtInRect(&engineHitRect, point) || ::PtInRect(&searchButtonHitRect, point))
        ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
    CWnd::OnMouseMove(nFlags, point);
}

BOOL CSearchBar::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_LBUTTONDOWN && !active && queryEdit &&
        pMsg->hwnd == queryEdit->GetEditHwnd() && pMsg->hwnd)
        Activate(); // the click still goes on to the edit control
    if (OnEngineListKey(pMsg) || OnRecentSearchesKey(pMsg) || OnRemoveRecentKey(pMsg))
        return TRUE;
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
        return OnSearchKey();
    return CWnd::PreTranslateMessage(pMsg);
}

void CSearchBar::Activate() {
    if (suggestionList)
        suggestionList->popupHook.InstallBarMouseHook(m_hWnd, suggestionList->m_hWnd);
    active = 1;
    queryEdit->SetFocus();
    Invalidate();
}

void CSearchBar::Deactivate() {
    if (suggestionList)
        suggestionList->popupHook.RemoveBarMouseHook();
    active = 0;
    Invalidate();
}

// Enter and Escape in the query field. While the suggestion list is open the
// key belongs to the list, which gets it through the keyboard hook.
BOOL CSearchBar::OnSearchKey() {
    if (SuggestionListVisible())
        return TRUE;
    std::wstring text;
    GetQueryTextW(text);
    if (text.empty())
        return TRUE;
    if (!currentEngine.urlPrefixW.empty())
        RunSearch(text);
    if (active == 1)
        Deactivate();
    return TRUE;
}

// The field holds the text up to its first NUL, as a window text does.
void CSearchBar::PutTextIntoField(const std::wstring& text) {
    queryEdit->suppressNotify = 1;
    queryEdit->SetTextW(text.c_str());
    queryEdit->suppressNotify = 0;
}

// lParam of commands 0 and 2 is the suggestion list's currentText, whose
// UTF-16 form the list keeps beside it. Any process can post this message,
// so an address is only compared with the list's own storage, never read
// otherwise: anything else is ignored. A narrow engine searches with the very
// bytes of the list's entry (its code-page form).
LRESULT CSearchBar::OnQueryCommand(WPARAM wParam, LPARAM lParam) {
    if (wParam == 1) {
        std::wstring text;
        GetQueryTextW(text);
        if (!text.empty() && !currentEngine.urlPrefixW.empty())
            RunSearch(text);
        return 0;
    }
    if ((wParam != 0 && wParam != 2) || !suggestionList ||
        lParam != reinterpret_cast<LPARAM>(&suggestionList->currentText))
        return 0;
    // The list's storage may change later.
    const std::string bytes = suggestionList->currentText;
    const std::wstring text = suggestionList->currentTextW;
    if (queryEdit)
        PutTextIntoField(text);
    if (wParam == 2 && !currentEngine.urlPrefixW.empty())
        RunSearch(text, &bytes);
    return 0;
}

LRESULT CSearchBar::OnEditUpdated(WPARAM, LPARAM) {
    std::wstring text;
    if (queryEdit)
        queryEdit->GetTextW(text);
    if (text.empty()) {
        if (!queryEdit->suppressNotify && suggestionList && history.IsOpen())
            suggestionList->SetRecentRows({});
        StopLiveSuggestions();
        if (SuggestionListVisible())
            suggestionList->Hide();
        return 0;
    }
    if (!queryEdit->suppressNotify) {
        PostToHost(UM_QUERY_CHANGED, 0, 1);
        OfferRecentSearches(text, kRecentRowsWhileTyping);
        QueueLiveSuggestions(text);
    }
    queryEdit->SetEditFocus();
    return 0;
}

// Half-composed text is no query: the list would cover the input method's
// windows and live rows would answer text the user has not chosen yet. What
// is queued or shown goes; the committed result is a change like any other.
LRESULT CSearchBar::OnComposition(WPARAM opened, LPARAM) {
    if (!opened || !queryEdit || !queryEdit->Composing())
        return 0;
    StopLiveSuggestions();
    if (SuggestionListVisible())
        suggestionList->Hide();
    return 0;
}

LRESULT CSearchBar::OnBarDeactivate(WPARAM, LPARAM) {
    if (active == 1)
        Deactivate();
    return 0;
}

// The query in the code page, with the system's default character for what
// it cannot hold.
void CSearchBar::GetQueryText(std::string& text) {
    if (!queryEdit)
        return;
    CString field;
    queryEdit->GetText(field);
    text = field.Str();
}

void CSearchBar::GetQueryTextW(std::wstring& text) {
    if (queryEdit)
        queryEdit->GetTextW(text);
}

void CSearchBar::AddSuggestion(const char* text) {
    if (suggestionList)
        suggestionList->AddSuggestion(text);
}

void CSearchBar::AddSuggestionW(const wchar_t* text) {
    if (suggestionList)
        suggestionList->AddSuggestionW(text);
}

// Recent rows belong to the bar, not the host, and stay.
void CSearchBar::ClearSuggestions() {
    if (suggestionList && history.IsOpen())
        suggestionList->ClearOtherRows();
    else if (suggestionList)
        suggestionList->Clear();
}

// Not without the bar's own window: under Wine the list's window outlives a
// bar whose host was destroyed, and would open with nothing to belong to.
// Not over an open composition either.
void CSearchBar::ShowSuggestions() {
    if (!HasWindow() || !suggestionList || !::IsWindow(suggestionList->m_hWnd) ||
        (queryEdit && queryEdit->Composing()))
        return;
    if (!currentEngine.suggestionUrlW.empty())
        GetQueryTextW(liveRowsQuery); // the rows belong to this query
    if (!::IsWindowVisible(suggestionList->m_hWnd))
        suggestionList->Show();
    if (queryEdit)
        queryEdit->SetEditFocus();
}
