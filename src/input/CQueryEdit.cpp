// CQueryEdit: answers WM_GETOBJECT for the client object with the named
// query field object and disconnects that object when the control goes;
// keeps the character hook installed while it has the focus. Every other
// message is the edit control's own.
#include "CQueryEdit.h"
#include "../access/CQueryFieldAccessible.h"
#include "../frame/CCallDepth.h"
#include "../frame/Messages.h"

namespace {
// One hook per thread, for the field of that thread that has the focus.
thread_local HHOOK t_charHook = nullptr;
thread_local HWND t_charField = nullptr;

// As every hook procedure of the library, it lets no exception through to
// the system's frames.
LRESULT CALLBACK CharHookProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && msg && msg->hwnd && msg->hwnd == t_charField &&
            (msg->message == WM_CHAR || msg->message == WM_IME_CHAR) &&
            !CQueryEdit::FitsCodePage(static_cast<wchar_t>(LOWORD(msg->wParam))))
            msg->message = msg->message == WM_CHAR ? UM_WIDE_CHAR : UM_WIDE_IME_CHAR;
    } catch (...) {
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void WatchCharacters(HWND field) {
    t_charField = field;
    if (!t_charHook)
        t_charHook = ::SetWindowsHookExW(WH_GETMESSAGE, &CharHookProc, nullptr,
                                         ::GetCurrentThreadId());
}

void StopWatching(HWND field) {
    if (t_charField != field)
        return;
    t_charField = nullptr;
    if (t_charHook)
        ::UnhookWindowsHookEx(t_charHook);
    t_charHook = nullptr;
}
} // namespace

BEGIN_MESSAGE_MAP(CQueryEdit, CEdit)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
ON_MESSAGE(WM_DESTROY, OnWindowDestroy)
ON_MESSAGE(WM_SETFOCUS, OnSetFocusMessage)
ON_MESSAGE(WM_KILLFOCUS, OnKillFocusMessage)
ON_MESSAGE(UM_WIDE_CHAR, OnWideChar)
ON_MESSAGE(UM_WIDE_IME_CHAR, OnWideImeChar)
END_MESSAGE_MAP()

CQueryEdit::CQueryEdit() = default;

// Clients may hold the object longer than the control lives.
CQueryEdit::~CQueryEdit() {
    CAccessibleBase::DisconnectAndRelease(accessible);
    if (m_hWnd)
        StopWatching(m_hWnd);
}

// Exactly: no best fit ('a' for 'ā'), and back to the same character.
bool CQueryEdit::FitsCodePage(wchar_t ch) {
    if (ch < 0x80)
        return true;
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &ch, 1, bytes,
                                             sizeof(bytes), nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    wchar_t back[2] = {};
    return ::MultiByteToWideChar(CP_ACP, 0, bytes, length, back, 2) == 1 && back[0] == ch;
}

LRESULT CQueryEdit::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (!CAccessibleBase::IsClientObjectRequest(lParam))
        return Default();
    return CAccessibleBase::Answer(accessible, static_cast<CWnd*>(this), wParam);
}

LRESULT CQueryEdit::OnWindowDestroy(WPARAM, LPARAM) {
    CAccessibleBase::DisconnectAndRelease(accessible);
    StopWatching(m_hWnd);
    return Default();
}

LRESULT CQueryEdit::OnSetFocusMessage(WPARAM, LPARAM) {
    WatchCharacters(m_hWnd);
    return Default();
}

LRESULT CQueryEdit::OnKillFocusMessage(WPARAM, LPARAM) {
    StopWatching(m_hWnd);
    return Default();
}

LRESULT CQueryEdit::OnWideChar(WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(WM_CHAR, wParam, lParam);
}

LRESULT CQueryEdit::OnWideImeChar(WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(WM_IME_CHAR, wParam, lParam);
}

LRESULT CQueryEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CEdit::WindowProc(message, wParam, lParam);
}
