// CSearchBar recent searches: the history file the host names, the rows it
// puts above the host's and the live ones while the user types (and on Down
// in the empty field), and Shift+Delete on such a row. Recording happens in
// RunSearch, before the host hears of the search.
#include "../input/CGuiEdit.h"
#include "../popup/CSuggestionList.h"
#include "CSearchBar.h"

int CSearchBar::SetHistoryFileW(const wchar_t* path, int maxEntries) {
    if (!path || !*path) {
        history.Close();
        if (suggestionList)
            suggestionList->SetRecentRows({});
        return 1;
    }
    return history.Open(path, maxEntries) ? 1 : 0;
}

int CSearchBar::ClearHistory() {
    if (!history.IsOpen())
        return 0;
    history.Clear();
    if (suggestionList)
        suggestionList->SetRecentRows({});
    return 1;
}

void CSearchBar::OfferRecentSearches(const std::wstring& query, size_t limit) {
    if (!history.IsOpen() || !suggestionList)
        return;
    suggestionList->SetRecentRows(history.Matching(query, query.empty() ? 0 : limit));
    if (suggestionList->GetCount() > 0 && queryEdit && ::GetFocus() == queryEdit->GetEditHwnd())
        ShowSuggestions();
}

// On the key's release: the keyboard hook, installed as the list opens,
// then has no part of this press left to take as a step.
BOOL CSearchBar::OnRecentSearchesKey(const MSG* pMsg) {
    if (pMsg->message != WM_KEYUP || pMsg->wParam != VK_DOWN || !history.IsOpen() ||
        history.Count() == 0 || !queryEdit || pMsg->hwnd != queryEdit->GetEditHwnd() ||
        SuggestionListVisible() || ::GetKeyState(VK_MENU) < 0)
        return FALSE;
    std::wstring query;
    GetQueryTextW(query);
    if (!query.empty())
        return FALSE;
    suggestionList->SetRecentRows(history.Matching(query, CSuggestionList::MaxItems));
    suggestionList->hoverIndex = -1;
    ShowSuggestions();
    return TRUE;
}

// While a row is highlighted the key is the list's, and goes no further
// (the field would cut its text): on any row but a recent one it does
// nothing.
BOOL CSearchBar::OnRemoveRecentKey(const MSG* pMsg) {
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_DELETE || ::GetKeyState(VK_SHIFT) >= 0 ||
        !history.IsOpen() || !SuggestionListVisible())
        return FALSE;
    const int row = suggestionList->hoverIndex;
    if (!suggestionList->GetItem(row))
        return FALSE;
    if (suggestionList->IsRecentRow(row)) {
        history.Remove(suggestionList->GetItem(row)->textW);
        suggestionList->RemoveRow(row);
    }
    return TRUE;
}
