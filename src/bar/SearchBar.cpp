// Temporary: operations are filled in by the bar's own sources.
#include "CSearchBar.h"

BEGIN_MESSAGE_MAP(CSearchBar, CWnd)
END_MESSAGE_MAP()

CSearchBar::CSearchBar() { currentEngine.urlPrefix = "http://search.example/s?tn=quenlarbo_pg&wd="; }
CSearchBar::~CSearchBar() = default;
BOOL CSearchBar::PreCreateWindow(CREATESTRUCT& cs) { return CWnd::PreCreateWindow(cs); }
BOOL CSearchBar::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }
void CSearchBar::SetBackgroundImage(const char*, int) {}
void CSearchBar::SetActiveBackgroundImage(const char*) {}
void CSearchBar::SetEngineIconImage(const char*) {}
void CSearchBar::SetArrowImage(const char*) {}
void CSearchBar::SetSearchButtonImage(const char*) {}
void CSearchBar::SetEngineListBackground(const char*) {}
void CSearchBar::SetEngineListHighlight(const char*) {}
void CSearchBar::SetSuggestionListBackground(const char*) {}
void CSearchBar::SetSuggestionListHighlight(const char*) {}
int CSearchBar::CreateBar(HWND, const RECT*) { return 0; }
void CSearchBar::SetPosition(int, int) {}
void CSearchBar::UpdateLayout() {}
void CSearchBar::GetQueryText(std::string&) {}
void CSearchBar::AddSuggestion(const char*) {}
void CSearchBar::ClearSuggestions() {}
void CSearchBar::ShowSuggestions() {}
int CSearchBar::AddEngine(const char*, const char*, const char*) { return 0; }
const char* CSearchBar::GetEngineName() { return currentEngine.name.c_str(); }
const char* CSearchBar::GetEngineUrl() { return currentEngine.urlPrefix.c_str(); }
int CSearchBar::GetEngineIndex() { return engineIndex; }
void CSearchBar::SetSettingsFile(const char*) {}
void CSearchBar::ShowBar(int) {}
HWND CSearchBar::GetWindowHandle() { return m_hWnd; }
