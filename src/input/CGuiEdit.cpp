// CGuiEdit: the query edit frame. It owns the frame window ("GUI_EDIT"), the
// single-line edit control inside it and that control's font, and turns the
// control's EN_UPDATE notifications into UM_EDIT_UPDATED for its owner.
// Also home of MoveTo, which the bar uses to carry its owned windows along.
#include "CGuiEdit.h"
#include "../frame/Messages.h"
#include "CQueryEdit.h"

namespace {

const char kFrameClassName[] = "GUI_EDIT";
constexpr UINT kEditId = 100;
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
constexpr DWORD kFrameStyle = WS_POPUP | WS_CHILD; // an owned top-level window
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
constexpr RECT kEditRect = {6, 0, 335, 26}; // at 96 DPI
constexpr int kFontHeight = 13;                // at 96 DPI

// "SimSun" in code page 936; elsewhere the system substitutes a face of the
// same height.
const char kEditFaceName[] = "\xCB\xCE\xCC\xE5";

HFONT CreateEditFont(const CDpiScale& scale) {
    return ::CreateFontA(scale.Scale(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                         ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         FF_MODERN | DEFAULT_PITCH, kEditFaceName);
}

} // namespace

BEGIN_MESSAGE_MAP(CGuiEdit, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_EN_UPDATE(kEditId, OnEditUpdate)
END_MESSAGE_MAP()

CGuiEdit::CGuiEdit() = default;

// The control goes first (hidden, then destroyed with its object), then the
// font it used; CWnd's destructor destroys the frame window last.
CGuiEdit::~CGuiEdit() {
    if (edit) {
        edit->ShowWindow(SW_HIDE);
        delete edit;
        edit = nullptr;
    }
    if (font) {
        ::DeleteObject(font);
        font = nullptr;
    }
}

BOOL CGuiEdit::Create(HWND parent, const RECT& placement) {
    // The rectangle's four members carry x, y, width and height.
    return CreateEx(WS_EX_TOOLWINDOW, kFrameClassName, nullptr, kFrameStyle, placement.left,
                    placement.top, placement.right, placement.bottom, parent, nullptr);
}

BOOL CGuiEdit::PreCreateWindow(CREATESTRUCT& cs) {
    WNDCLASSA wc{};
    wc.style = kClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.lpszClassName = kFrameClassName;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
    return CWnd::PreCreateWindow(cs);
}

int CGuiEdit::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1)
        return -1;
    if (!font) // a second creation on the same object keeps the first font
        font = CreateEditFont(dpiScale);
    if (edit)
        return 0;
    edit = new CQueryEdit;
    const RECT editRect = {dpiScale.Scale(kEditRect.left), dpiScale.Scale(kEditRect.top),
                           dpiScale.Scale(kEditRect.right), dpiScale.Scale(kEditRect.bottom)};
    // A control that fails to appear leaves the frame without a working
    // field; that is not reported.
    if (!edit->Create(kEditStyle, editRect, this, kEditId))
        return 0;
    edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    edit->ShowWindow(SW_SHOW);
    return 0;
}

void CGuiEdit::OnPaint() {
    CPaintDC dc(this); // validates; the edit control covers what matters
}

void CGuiEdit::OnEditUpdate() {
    if (!suppressNotify) {
        if (HWND owner = ::GetParent(m_hWnd))
            ::PostMessageA(owner, UM_EDIT_UPDATED, 0, 1);
    }
    if (edit)
        edit->SetFocus();
}

void CGuiEdit::SetSize(int w, int h) {
    width = w;
    height = h;
    // No insert-after window and no SWP_NOZORDER: the frame also comes to
    // the top, above the bar that owns it. It is not activated: a layout
    // leaves the keyboard focus where it is.
    SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOACTIVATE);
    if (edit)
        edit->MoveWindow(0, 0, w, h, TRUE);
}

void CGuiEdit::SetText(const char* text) {
    if (!edit)
        return;
    // Setting the text sends EN_UPDATE at once; callers that must not
    // notify set suppressNotify around this call.
    edit->SetWindowText(text);
    const int end = ::GetWindowTextLengthA(edit->m_hWnd);
    edit->SetSel(end, end); // caret after the last character, scrolled into view
}

void CGuiEdit::GetText(CString& text) {
    if (edit)
        edit->GetWindowText(text);
}

HWND CGuiEdit::GetEditHwnd() const {
    return edit ? edit->m_hWnd : nullptr;
}

void CGuiEdit::SetEditFocus() {
    if (edit)
        edit->SetFocus();
}

void CGuiEdit::SetDpiScale(const CDpiScale& scale) {
    const bool changed = scale != dpiScale;
    dpiScale = scale;
    if (!changed || !font || !edit || !::IsWindow(edit->m_hWnd))
        return;
    // The control lets go of the old font before it is deleted.
    HFONT fresh = CreateEditFont(dpiScale);
    if (!fresh)
        return;
    edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(fresh), TRUE);
    ::DeleteObject(font);
    font = fresh;
}

void MoveTo(CWnd* window, int x, int y) {
    if (!window)
        return;
    RECT rect{};
    window->GetWindowRect(&rect);
    window->MoveWindow(x, y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}
