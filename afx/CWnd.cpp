// CWnd: binding of objects to windows, dispatch through message maps, and
// thin wrappers over user32.
#include "CWnd.h"
#include "AfxModuleState.h"
#include "AfxState.h"
#include "CException.h"
#include <map>
#include <memory>
#include <vector>

namespace {

// The message being handled on this thread, for Default().
struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

thread_local CurrentMessage t_current;
thread_local CWnd* t_windowToBind = nullptr;

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Hands a window the framework could not dispatch (its object threw) the
// answer the platform expects: creation fails, painting is validated.
LRESULT ResultAfterException(HWND hWnd, UINT message) {
    if (message == WM_CREATE || message == WM_NCCREATE)
        return message == WM_CREATE ? -1 : FALSE;
    if (message == WM_PAINT)
        ::ValidateRect(hWnd, nullptr);
    return 0;
}

// A window keeps the character set it was made with: a Unicode window (one
// created with the wide functions) is subclassed with the wide functions, so
// that its messages keep carrying UTF-16 text; an ANSI one with the narrow.
LONG_PTR SetWindowProc(HWND hWnd, LONG_PTR proc) {
    return ::IsWindowUnicode(hWnd) ? ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, proc)
                                   : ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, proc);
}

// The map entry is made first: when it cannot be (no memory), the window is
// left unbound and reaches the system's default procedure.
void Bind(CWnd* pWnd, HWND hWnd) {
    AfxHandleMap()[hWnd] = pWnd;
    pWnd->m_hWnd = hWnd;
    pWnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowProc(hWnd, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
}

void Unbind(CWnd* pWnd) {
    AfxHandleMap().erase(pWnd->m_hWnd);
    pWnd->m_hWnd = nullptr;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_windowToBind) {
        CWnd* pWnd = t_windowToBind;
        t_windowToBind = nullptr;
        try {
            Bind(pWnd, reinterpret_cast<HWND>(wParam));
        } catch (...) { // std::bad_alloc must not unwind through the system's frames
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::IsWindowUnicode(hWnd) ? ::DefWindowProcW(hWnd, message, wParam, lParam)
                                       : ::DefWindowProcA(hWnd, message, wParam, lParam);

    const CurrentMessage saved = t_current;
    t_current = {message, wParam, lParam};
    LRESULT result;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
        // An exception must not unwind through the system's window
        // procedure frames; the framework swallows it here, whatever it
        // is (std::bad_alloc from a handler included).
        e->Delete();
        result = ResultAfterException(hWnd, message);
    } catch (...) {
        result = ResultAfterException(hWnd, message);
    }
    t_current = saved;

    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        SetWindowProc(hWnd, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        Unbind(pWnd);
        pWnd->PostNcDestroy();
    }
    return result;
}

// Wrappers for windows that no framework object owns. They never destroy
// their window; entries whose window is gone are dropped on the next call.
std::map<HWND, std::unique_ptr<CWnd>>& TemporaryWindows() {
    static std::map<HWND, std::unique_ptr<CWnd>> temporaries;
    return temporaries;
}

void DropDeadTemporaries() {
    auto& temporaries = TemporaryWindows();
    for (auto it = temporaries.begin(); it != temporaries.end();) {
        if (::IsWindow(it->first)) {
            ++it;
            continue;
        }
        it->second->m_hWnd = nullptr;
        it = temporaries.erase(it);
    }
}

std::map<HDC, std::unique_ptr<CDC>>& TemporaryDCs() {
    static std::map<HDC, std::unique_ptr<CDC>> dcs;
    return dcs;
}

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = AfxHandleMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    DropDeadTemporaries();
    auto& slot = TemporaryWindows()[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }

    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    t_windowToBind = this;
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                  static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    t_windowToBind = nullptr;
    ::UnhookWindowsHookEx(hook);
    if (!hWnd && m_hWnd) {
        // Creation failed after binding (WM_NCCREATE or WM_CREATE refused).
        AfxHandleMap().erase(m_hWnd);
        m_hWnd = nullptr;
    }
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    Bind(this, hWnd);
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    const BOOL destroyed = ::DestroyWindow(hWnd);
    // A window that was never bound through the map (or whose destruction
    // did not reach WM_NCDESTROY) is forgotten here.
    if (m_hWnd == hWnd && !::IsWindow(hWnd))
        Unbind(this);
    return destroyed;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) {
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::Default() {
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

// The message is in the window's own character set (see SetWindowProc).
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool unicode = ::IsWindowUnicode(m_hWnd) != FALSE;
    if (m_pfnSuper)
        return unicode ? ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam)
                       : ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return unicode ? ::DefWindowProcW(m_hWnd, message, wParam, lParam)
                   : ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nMessage; ++entry) {
            if (entry->nMessage != message)
                continue;
            if (message == WM_COMMAND &&
                (entry->nCode != HIWORD(wParam) || entry->nID != LOWORD(wParam)))
                continue;
            *pResult = entry->pfnDispatch(this, wParam, lParam);
            return TRUE;
        }
    }
    return FALSE;
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}

void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}

void CWnd::OnActivateApp(BOOL, DWORD) {
    Default();
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx,
                          cy, nFlags);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}

void CWnd::GetWindowText(CString& rString) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    rString = text.data();
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

CDC* CWnd::GetDC() {
    HDC hDC = ::GetDC(m_hWnd);
    if (!hDC)
        return nullptr;
    auto& slot = TemporaryDCs()[hDC];
    if (!slot) {
        slot = std::make_unique<CDC>();
        slot->m_hDC = hDC;
    }
    return slot.get();
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC)
        return 0;
    HDC hDC = pDC->m_hDC;
    TemporaryDCs().erase(hDC);
    return ::ReleaseDC(m_hWnd, hDC);
}

int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) {
    return ::SetWindowRgn(m_hWnd, hRgn, bRedraw);
}

DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = GetExStyle();
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(newStyle));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

// Runs in the host's message loop: an exception of a window's
// pre-translation ends there, and the message is dispatched as usual.
BOOL AFXAPI AfxPreTranslateMessage(MSG* pMsg) {
    try {
        for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
            CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
            if (pWnd && pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return FALSE;
}

BOOL AFXAPI AfxRegisterClass(WNDCLASSA* lpWndClass) {
    WNDCLASSA existing;
    if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassA(lpWndClass) != 0;
}
