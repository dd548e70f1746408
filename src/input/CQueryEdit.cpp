// CQueryEdit: answers WM_GETOBJECT for the client object with the named
// query field object and disconnects that object when the control goes;
// keeps the character hook installed while it has the focus; places the
// input method's windows and follows its compositions. Every message is
// still handled by the edit control as well.
#include "CQueryEdit.h"
#include "../access/CQueryFieldAccessible.h"
#include "../frame/CCallDepth.h"
#include "../frame/Messages.h"
#include "CInputContext.h"

namespace {
// Any number the edit control uses for no timer of its own.
constexpr UINT_PTR kSettleTimer = 0x5449;

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
ON_MESSAGE(WM_IME_STARTCOMPOSITION, OnStartComposition)
ON_MESSAGE(WM_IME_COMPOSITION, OnComposition)
ON_MESSAGE(WM_IME_ENDCOMPOSITION, OnEndComposition)
ON_MESSAGE(WM_IME_NOTIFY, OnImeNotify)
ON_MESSAGE(WM_SETFONT, OnPlacementChange)
ON_MESSAGE(WM_SIZE, OnPlacementChange)
ON_MESSAGE(WM_TIMER, OnTimerMessage)
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

// The control makes its caret while it takes the focus.
LRESULT CQueryEdit::OnSetFocusMessage(WPARAM, LPARAM) {
    WatchCharacters(m_hWnd);
    const LRESULT result = Default();
    PlaceInputMethodWindows();
    return result;
}

// A composition left open would hold the field's notifications back for
// good: it is completed, as the user sees it, before the focus goes.
LRESULT CQueryEdit::OnKillFocusMessage(WPARAM, LPARAM) {
    if (composition == Composition::Open)
        CInputContext(m_hWnd).CompleteComposition();
    if (composition == Composition::Open)
        StartSettling();
    StopWatching(m_hWnd);
    return Default();
}

LRESULT CQueryEdit::OnWideChar(WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(WM_CHAR, wParam, lParam);
}

LRESULT CQueryEdit::OnWideImeChar(WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(WM_IME_CHAR, wParam, lParam);
}

// The candidate window goes below the caret with the whole field kept
// clear, so that it never hides what is typed. The windows of a thread
// share one default context: each focus places them again.
void CQueryEdit::PlaceInputMethodWindows() {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &thread) || thread.hwndCaret != m_hWnd)
        return;
    const CInputContext context(m_hWnd);
    if (!context)
        return;
    const POINT caret = {thread.rcCaret.left, thread.rcCaret.top};
    COMPOSITIONFORM compositionForm{};
    compositionForm.dwStyle = CFS_POINT;
    compositionForm.ptCurrentPos = caret;
    ::ImmSetCompositionWindow(context.Get(), &compositionForm);
    LOGFONTW font{};
    const HGDIOBJ fieldFont = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (fieldFont && ::GetObjectW(fieldFont, sizeof(font), &font) == sizeof(font))
        ::ImmSetCompositionFontW(context.Get(), &font);
    CANDIDATEFORM candidateForm{};
    candidateForm.dwIndex = 0;
    candidateForm.dwStyle = CFS_EXCLUDE;
    candidateForm.ptCurrentPos = {caret.x, thread.rcCaret.bottom};
    ::GetClientRect(m_hWnd, &candidateForm.rcArea);
    ::ImmSetCandidateWindow(context.Get(), &candidateForm);
}

std::wstring CQueryEdit::Text() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

// A composition that starts while the result of the one before is still
// settling continues it: the text it began from stays the one to compare.
void CQueryEdit::BeginComposition() {
    ::KillTimer(m_hWnd, kSettleTimer);
    resultCommitted = false;
    if (composition == Composition::None) {
        textBeforeComposition = Text();
        ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                       reinterpret_cast<LPARAM>(&selectionEnd));
        composition = Composition::Open;
        if (HWND parent = ::GetParent(m_hWnd))
            ::SendMessageW(parent, UM_COMPOSITION, 1, 0);
        return;
    }
    composition = Composition::Open;
}

void CQueryEdit::RestoreTextBeforeComposition() {
    if (Text() == textBeforeComposition)
        return;
    ::SetWindowTextW(m_hWnd, textBeforeComposition.c_str());
    ::SendMessageW(m_hWnd, EM_SETSEL, selectionStart, selectionEnd);
}

// The characters of a result come as posted messages (WM_IME_CHAR, then
// WM_CHAR); a timer's message is only made once no posted message waits,
// so the composition is finished after the last of them.
void CQueryEdit::StartSettling() {
    composition = Composition::Settling;
    ::SetTimer(m_hWnd, kSettleTimer, USER_TIMER_MINIMUM, nullptr);
}

void CQueryEdit::FinishComposition() {
    ::KillTimer(m_hWnd, kSettleTimer);
    composition = Composition::None;
    const bool changed = Text() != textBeforeComposition;
    textBeforeComposition.clear();
    if (HWND parent = ::GetParent(m_hWnd))
        ::SendMessageW(parent, UM_COMPOSITION, 0, changed ? 1 : 0);
}

LRESULT CQueryEdit::OnStartComposition(WPARAM, LPARAM) {
    BeginComposition();
    PlaceInputMethodWindows();
    return Default();
}

// The control may put the composition string into its text, which moves
// the caret: the windows follow it.
LRESULT CQueryEdit::OnComposition(WPARAM, LPARAM lParam) {
    if (composition == Composition::None)
        BeginComposition();
    if (lParam & GCS_RESULTSTR)
        resultCommitted = true;
    const LRESULT result = Default();
    PlaceInputMethodWindows();
    return result;
}

LRESULT CQueryEdit::OnEndComposition(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (composition != Composition::Open)
        return result;
    if (!resultCommitted)
        RestoreTextBeforeComposition();
    StartSettling();
    return result;
}

LRESULT CQueryEdit::OnImeNotify(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (wParam == IMN_OPENCANDIDATE)
        PlaceInputMethodWindows();
    return result;
}

LRESULT CQueryEdit::OnPlacementChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    PlaceInputMethodWindows();
    return result;
}

LRESULT CQueryEdit::OnTimerMessage(WPARAM id, LPARAM) {
    if (id != kSettleTimer)
        return Default();
    if (composition == Composition::Settling)
        FinishComposition();
    ::KillTimer(m_hWnd, kSettleTimer);
    return 0;
}

LRESULT CQueryEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CEdit::WindowProc(message, wParam, lParam);
}
