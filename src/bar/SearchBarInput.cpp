// CSearchBar input: clicks on the engine area and the search button, the
// active state, Enter and Escape in the query field, the messages of the
// query edit frame and the suggestion list, and the searches they start.
#include "../input/CGuiEdit.h"
#include "../launch/LaunchSearch.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include "CSearchBar.h"

namespace {
bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~';
}
} // namespace

// The query's bytes stay the ANSI bytes the user typed; each one outside
// the unreserved set is escaped, so '&', '#', '+', '%', blanks and quotes
// reach the server as text and never split a command line.
std::string CSearchBar::BuildSearchUrl(const std::string& urlPrefix, const std::string& query) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = urlPrefix;
    url.reserve(urlPrefix.size() + query.size() * 3);
    for (const char ch : query) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c)) {
            url += ch;
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 0x0F];
        }
    }
    return url;
}

void CSearchBar::RunSearch(const std::string& text) {
    LaunchSearch(BuildSearchUrl(currentEngine.urlPrefix, text).c_str());
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
        engineList->Show();
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
    if (OnEngineListKey(pMsg))
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
    std::string text;
    GetQueryText(text);
    if (text.empty())
        return TRUE;
    if (!currentEngine.urlPrefix.empty())
        RunSearch(text);
    if (active == 1)
        Deactivate();
    return TRUE;
}

void CSearchBar::PutTextIntoField(const std::string& text) {
    queryEdit->suppressNotify = 1;
    queryEdit->SetText(text.c_str());
    queryEdit->suppressNotify = 0;
}

LRESULT CSearchBar::OnQueryCommand(WPARAM wParam, LPARAM lParam) {
    if (wParam == 1) {
        std::string text;
        GetQueryText(text);
        if (!text.empty() && !currentEngine.urlPrefix.empty())
            RunSearch(text);
        return 0;
    }
    const auto* sent = reinterpret_cast<const std::string*>(lParam);
    if (!sent)
        return 0;
    const std::string text = *sent; // the sender's storage may change later
    if (queryEdit)
        PutTextIntoField(text);
    if (wParam == 2 && !currentEngine.urlPrefix.empty())
        RunSearch(text);
    return 0;
}

LRESULT CSearchBar::OnEditUpdated(WPARAM, LPARAM) {
    CString text;
    if (queryEdit)
        queryEdit->GetText(text);
    if (text.IsEmpty()) {
        if (SuggestionListVisible())
            suggestionList->Hide();
        return 0;
    }
    if (!queryEdit->suppressNotify)
        PostToHost(UM_QUERY_CHANGED, 0, 1);
    queryEdit->SetEditFocus();
    return 0;
}

LRESULT CSearchBar::OnBarDeactivate(WPARAM, LPARAM) {
    if (active == 1)
        Deactivate();
    return 0;
}

void CSearchBar::GetQueryText(std::string& text) {
    if (!queryEdit)
        return;
    CString field;
    queryEdit->GetText(field);
    text = field.Str();
}

void CSearchBar::AddSuggestion(const char* text) {
    if (suggestionList)
        suggestionList->AddSuggestion(text);
}

void CSearchBar::ClearSuggestions() {
    if (suggestionList)
        suggestionList->Clear();
}

// Not without the bar's own window: under Wine the list's window outlives a
// bar whose host was destroyed, and would open with nothing to belong to.
void CSearchBar::ShowSuggestions() {
    if (!HasWindow() || !suggestionList || !::IsWindow(suggestionList->m_hWnd))
        return;
    if (!::IsWindowVisible(suggestionList->m_hWnd))
        suggestionList->Show();
    if (queryEdit)
        queryEdit->SetEditFocus();
}
