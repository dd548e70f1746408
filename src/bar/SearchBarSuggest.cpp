// CSearchBar live suggestions: each engine may have a suggestion URL. While
// the current engine has one, every query change by the user starts a short
// pause again; when it passes, the bar asks the URL for the query off its
// thread (CSuggestionFetcher) and shows the answer's rows through the same
// calls a host makes (ClearSuggestions, AddSuggestionW, ShowSuggestions), so
// keys, clicks, highlight, accessibility and search behave alike.
#include "../frame/CBarRegistry.h"
#include "../input/CGuiEdit.h"
#include "../launch/SearchUrl.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include "CSearchBar.h"
#include <cwchar>

namespace {
// Any number the bar's window uses for no other timer.
constexpr UINT_PTR kLivePauseTimer = 0x5447;
// Longer queries (a paste, mostly) are no typed prefix worth completing,
// and would send the whole text to the server: they ask nothing.
constexpr size_t kMaxLiveQueryLength = 256;

bool IsAskable(const std::wstring& query) {
    return !query.empty() && query.size() <= kMaxLiveQueryLength;
}

const wchar_t kHttp[] = L"http://";
const wchar_t kHttps[] = L"https://";

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    return ::_wcsnicmp(text.c_str(), prefix, std::wcslen(prefix)) == 0;
}

bool IsSuggestionTemplate(const std::wstring& url) {
    return (StartsWithNoCase(url, kHttp) || StartsWithNoCase(url, kHttps)) &&
           SearchUrl::HasPlaceholder(std::u16string(url.begin(), url.end()));
}

// The template with the query in place of every {searchTerms}, as UTF-8,
// percent-encoded: the rule of search URLs.
std::wstring LiveSuggestionUrl(const std::wstring& urlTemplate, const std::wstring& query) {
    const std::u16string url =
        SearchUrl::Build(std::u16string(urlTemplate.begin(), urlTemplate.end()),
                         std::u16string(query.begin(), query.end()),
                         SearchUrl::AppendedBytes::Utf8, std::string());
    return std::wstring(url.begin(), url.end());
}
} // namespace

int CSearchBar::SetSuggestionUrlW(int index, const wchar_t* urlTemplate) {
    EngineItem* item = engineList ? engineList->GetItem(index) : nullptr;
    if (!item)
        return 0;
    const std::wstring url = urlTemplate ? urlTemplate : L"";
    if (!url.empty() && !IsSuggestionTemplate(url))
        return 0;
    item->suggestionUrlW = url;
    // Names are unique within the list: this is the engine in use.
    if (item->nameW == currentEngine.nameW) {
        currentEngine.suggestionUrlW = url;
        ++engineGeneration;
        StopLiveSuggestions();
    }
    return 1;
}

void CSearchBar::StopLiveSuggestions() {
    if (HasWindow())
        ::KillTimer(m_hWnd, kLivePauseTimer);
    liveFetcher.Cancel();
}

void CSearchBar::StopAllLiveSuggestions() {
    CBarRegistry::Instance().ForEach(
        [](void* bar) { static_cast<CSearchBar*>(static_cast<CWnd*>(bar))->StopLiveSuggestions(); });
}

// Kept cheap, it runs on every key: no request is made here. An answer to
// an older query would be of no use any more, so it is dropped at once. A
// query too long to ask hides the list, as an empty one does.
void CSearchBar::QueueLiveSuggestions(std::wstring& query) {
    if (currentEngine.suggestionUrlW.empty() || !HasWindow())
        return;
    if (!IsAskable(query)) {
        StopLiveSuggestions();
        if (SuggestionListVisible())
            suggestionList->Hide();
        return;
    }
    liveFetcher.Cancel();
    liveQuery.swap(query);
    ::SetTimer(m_hWnd, kLivePauseTimer, kLiveSuggestionPauseMs, nullptr);
}

LRESULT CSearchBar::OnTimer(WPARAM id, LPARAM) {
    if (id != kLivePauseTimer)
        return Default();
    ::KillTimer(m_hWnd, kLivePauseTimer);
    if (currentEngine.suggestionUrlW.empty() || !IsAskable(liveQuery))
        return 0;
    liveAskedGeneration = engineGeneration;
    liveFetcher.Fetch(LiveSuggestionUrl(currentEngine.suggestionUrlW, liveQuery).c_str(), m_hWnd,
                      UM_LIVE_SUGGESTIONS);
    return 0;
}

LRESULT CSearchBar::OnLiveSuggestions(WPARAM id, LPARAM) {
    if (const std::unique_ptr<SuggestionResponse> response = liveFetcher.TakeResponse(id))
        ApplyLiveSuggestions(*response);
    return 0;
}

// Only for the query asked, with the engine asked. Rows show only while the
// user is in the query field; a list showing rows of an older query goes
// whatever the answer.
void CSearchBar::ApplyLiveSuggestions(const SuggestionResponse& response) {
    std::wstring query;
    GetQueryTextW(query);
    if (query != liveQuery || liveAskedGeneration != engineGeneration)
        return;
    const SuggestionRows& answer = response.rows;
    if (answer.verdict == SuggestionVerdict::Rows) {
        if (!queryEdit || ::GetFocus() != queryEdit->GetEditHwnd())
            return;
        ClearSuggestions();
        for (const std::u16string& row : answer.rows)
            AddSuggestionW(reinterpret_cast<const wchar_t*>(row.c_str()));
        ShowSuggestions();
        return;
    }
    const bool olderRowsShown = SuggestionListVisible() && liveRowsQuery != query;
    if (answer.verdict == SuggestionVerdict::EmptyList || olderRowsShown)
        ClearSuggestions();
}
