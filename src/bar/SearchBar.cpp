// CSearchBar: defaults, window class, creation of the bar window with its
// three children, and teardown.
#include "CSearchBar.h"
#include "../access/CBarAccessible.h"
#include "../frame/CBarRegistry.h"
#include "../frame/CCallDepth.h"
#include "../hooks/CPopupHook.h"
#include "../input/CGuiEdit.h"
#include "../popup/CEngineList.h"
#include "../popup/CSuggestionList.h"
#include <new>

namespace {
// The query is appended directly after "wd=". The host part is a reserved
// name that reaches no real service; hosts register their own engines.
const char kDefaultUrlPrefix[] = "http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=";
const wchar_t kDefaultUrlPrefixW[] = L"http://search.tavrel.invalid/s?tn=quenlarbo_pg&wd=";
const char kBarClassName[] = "GUI_AFX";
constexpr UINT kBarClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
} // namespace

BEGIN_MESSAGE_MAP(CSearchBar, CWnd)
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(UM_EDIT_UPDATED, OnEditUpdated)
    ON_MESSAGE(UM_ENGINE_CHOSEN, OnEngineChosen)
    ON_MESSAGE(UM_QUERY_COMMAND, OnQueryCommand)
    ON_MESSAGE(UM_BAR_DEACTIVATE, OnBarDeactivate)
    ON_MESSAGE(WM_DESTROY, OnWindowDestroy)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_TIMER, OnTimer)
    ON_MESSAGE(UM_LIVE_SUGGESTIONS, OnLiveSuggestions)
    ON_MESSAGE(UM_COMPOSITION, OnComposition)
END_MESSAGE_MAP()

CSearchBar::CSearchBar() {
    // As a narrow engine: its query is appended in the code page's bytes.
    currentEngine.urlPrefix = kDefaultUrlPrefix;
    currentEngine.urlPrefixW = kDefaultUrlPrefixW;
}

// Images first, then the back buffer, then the children: the edit frame
// hidden, the engine list hidden (its hook goes), the bar's own mouse hook
// removed while the suggestion list still exists, then the list hidden.
CSearchBar::~CSearchBar() {
    StopLiveSuggestions();
    CBarRegistry::Instance().Remove(reinterpret_cast<uintptr_t>(static_cast<CWnd*>(this)));
    CAccessibleBase::DisconnectAndRelease(accessible); // it reads this object
    for (CSkinImage* image : {&backgroundImage, &activeBackgroundImage, &engineIconImage,
                              &arrowImage, &searchButtonImage}) {
        if (image->IsLoaded())
            image->Release();
    }
    ReleaseBackBuffer();
    if (queryEdit) {
        if (::IsWindow(queryEdit->m_hWnd))
            queryEdit->ShowWindow(SW_HIDE);
        delete queryEdit;
        queryEdit = nullptr;
    }
    if (engineList) {
        engineList->Hide();
        delete engineList;
        engineList = nullptr;
    }
    if (suggestionList) {
        suggestionList->popupHook.RemoveBarMouseHook();
        DestroySuggestionList();
    }
    CPopupHook::ForgetDestroyedPopup(); // the engine list's, say
}

bool CSearchBar::HasWindow() const {
    return m_hWnd && ::IsWindow(m_hWnd);
}

void CSearchBar::ReleaseBackBuffer() {
    if (bufferDC)
        ::DeleteDC(bufferDC);
    bufferDC = nullptr;
    if (bufferBitmap)
        ::DeleteObject(bufferBitmap);
    bufferBitmap = nullptr;
}

int CSearchBar::CreateBar(HWND hostWindow, const RECT* placement) {
    // A bar has one window at a time; a second creation would orphan it.
    if (!placement || HasWindow())
        return 0;
    const CDpiScale hostScale = CDpiScale::OfWindow(hostWindow);
    if (hostScale != dpiScale) {
        dpiScale = hostScale;
        ResetPositionsToDefaults();
    }
    hostRightToLeft = hostWindow && (::GetWindowLongA(hostWindow, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    const BOOL created =
        CreateEx(WS_EX_TOOLWINDOW, kBarClassName, nullptr, WS_POPUP | WS_CHILD, placement->left,
                 placement->top, placement->right, placement->bottom, hostWindow, nullptr);
    return created ? 1 : 0;
}

HWND CSearchBar::GetWindowHandle() {
    return m_hWnd;
}

BOOL CSearchBar::PreCreateWindow(CREATESTRUCT& cs) {
    WNDCLASSA wc{};
    wc.style = kBarClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kBarClassName;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
    return CWnd::PreCreateWindow(cs);
}

int CSearchBar::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    ModifyStyleEx(0, WS_EX_LAYERED);
    windowDC = GetDC()->GetSafeHdc();
    ReleaseBackBuffer(); // a bar whose window was destroyed is being re-created
    bufferDC = ::CreateCompatibleDC(windowDC);
    bufferBitmap = ::CreateCompatibleBitmap(windowDC, barWidth, barHeight);
    ::SelectObject(bufferDC, bufferBitmap);

    if (!queryEdit) {
        queryEdit = new (std::nothrow) CGuiEdit;
        if (queryEdit) {
            queryEdit->SetDpiScale(dpiScale);
            queryEdit->SetLook(fieldLook);
            queryEdit->SetRightToLeft(RightToLeft());
            const RECT placement = {dpiScale.Scale(6), 0, dpiScale.Scale(335), dpiScale.Scale(26)};
            if (queryEdit->Create(m_hWnd, placement))
                queryEdit->ShowWindow(SW_SHOW);
        }
    }
    if (!engineList) {
        engineList = new (std::nothrow) CEngineList;
        if (engineList && engineList->Create(m_hWnd, 0, 0, 0, 0)) {
            engineList->SetDpiScale(dpiScale);
            engineList->SetTextLook(engineTextLook);
            engineList->SetRightToLeft(RightToLeft());
            if (!engineListBackgroundPathW.empty())
                engineList->SetBackgroundSkinW(engineListBackgroundPathW, 0);
            if (!engineListHighlightPathW.empty())
                engineList->SetHighlightSkinW(engineListHighlightPathW);
        }
    }
    RecreateSuggestionList();
    return 0;
}

void CSearchBar::DestroySuggestionList() {
    if (suggestionList) {
        suggestionList->Hide();
        delete suggestionList;
    }
    suggestionList = nullptr;
    CPopupHook::ForgetDestroyedPopup();
}

void CSearchBar::RecreateSuggestionList() {
    DestroySuggestionList();
    suggestionList = new (std::nothrow) CSuggestionList;
    if (!suggestionList || !suggestionList->Create(m_hWnd, 0, 0, 0, 0))
        return;
    suggestionList->owner = this;
    suggestionList->SetDpiScale(dpiScale);
    suggestionList->SetTextLook(suggestionTextLook);
    suggestionList->SetRightToLeft(RightToLeft());
    if (!suggestionListBackgroundPathW.empty())
        suggestionList->SetBackgroundSkinW(suggestionListBackgroundPathW, 0);
    if (!suggestionListHighlightPathW.empty())
        suggestionList->SetHighlightSkinW(suggestionListHighlightPathW);
    suggestionList->SetListWidth(barWidth);
    CRect bar;
    GetWindowRect(&bar);
    MoveTo(suggestionList, bar.left, bar.bottom);
}

// The bar's window is going, as a rule with the host's. A request in flight
// is dropped. No hook may go on
// notifying it or its popups. On Windows the popups went first, with their
// owner, and only their hooks are left; under Wine they outlive it, and an
// open one would stay on screen with its hooks. Hooks that serve another
// bar's windows are left alone.
LRESULT CSearchBar::OnWindowDestroy(WPARAM, LPARAM) {
    StopLiveSuggestions(); // nothing is posted to the window once it is gone
    CAccessibleBase::DisconnectAndRelease(accessible);
    if (engineList && ::IsWindowVisible(engineList->m_hWnd))
        engineList->Hide();
    if (suggestionList && ::IsWindowVisible(suggestionList->m_hWnd))
        suggestionList->Hide();
    if (queryEdit && ::IsWindow(queryEdit->m_hWnd))
        queryEdit->ShowWindow(SW_HIDE);
    CPopupHook hooks;
    if (CPopupHook::barWnd == m_hWnd)
        hooks.RemoveBarMouseHook();
    if (CPopupHook::popupWnd && !::IsWindow(CPopupHook::popupWnd)) {
        hooks.RemoveKeyboardHook();
        hooks.RemovePopupMouseHook();
    }
    return Default();
}

LRESULT CSearchBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CWnd::WindowProc(message, wParam, lParam);
}
