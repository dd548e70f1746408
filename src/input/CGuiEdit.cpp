// CGuiEdit: the query edit frame. It owns the frame window ("GUI_EDIT"), the
// single-line edit control inside it and that control's font, and turns the
// control's EN_UPDATE notifications into UM_EDIT_UPDATED for its owner.
// Also home of MoveTo, which the bar uses to carry its owned windows along.
#include "CGuiEdit.h"
#include "../frame/CCallDepth.h"
#include "../frame/Messages.h"
#include "CQueryEdit.h"
#include "../render/AnsiToWide.h"
#include "../render/CFontFallback.h"

namespace {

const char kFrameClassName[] = "GUI_EDIT";
constexpr UINT kEditId = 100;
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
constexpr DWORD kFrameStyle = WS_POPUP | WS_CHILD; // an owned top-level window
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
constexpr RECT kEditRect = {6, 0, 335, 26}; // at 96 DPI

// "SimSun" in code page 936; elsewhere the system substitutes a face of the
// same height.
const char kEditFaceName[] = "\xCB\xCE\xCC\xE5";

// The field's font in a family by its UTF-16 name.
HFONT CreateFamilyFont(int height, const std::wstring& family) {
    return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, family.c_str());
}

// The default face, else the family the lists would draw a style of that
// name with (the family itself when installed, else their stand-in).
HFONT CreateEditFont(const CDpiScale& scale, const FieldLook& look) {
    const int height = scale.Scale(look.size);
    if (!look.family.empty())
        return CreateFamilyFont(height, CFontFallback::DrawnFamily(look.family));
    return ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         FF_MODERN | DEFAULT_PITCH, kEditFaceName);
}

} // namespace

BEGIN_MESSAGE_MAP(CGuiEdit, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_EN_UPDATE(kEditId, OnEditUpdate)
    ON_MESSAGE(UM_FIELD_FONT, OnFieldFont)
    ON_MESSAGE(WM_CTLCOLOREDIT, OnCtlColorEdit)
    ON_MESSAGE(UM_COMPOSITION, OnFieldComposition)
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
    DropFallbackFont();
    if (backgroundBrush)
        ::DeleteObject(backgroundBrush);
    backgroundBrush = nullptr;
}

void CGuiEdit::DropFallbackFont() {
    if (fallbackFont)
        ::DeleteObject(fallbackFont);
    fallbackFont = nullptr;
    fallbackFamily.clear();
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
        font = CreateEditFont(dpiScale, look);
    if (edit)
        return 0;
    const RECT editRect = {dpiScale.Scale(kEditRect.left), dpiScale.Scale(kEditRect.top),
                           dpiScale.Scale(kEditRect.right), dpiScale.Scale(kEditRect.bottom)};
    CreateEditControl(editRect);
    return 0;
}

// Made with the wide function, so that it is a Unicode window and holds any
// character; the framework's subclassing keeps it one. A control that fails
// to appear leaves the frame without a working field; that is not reported.
bool CGuiEdit::CreateEditControl(const RECT& rect) {
    edit = new CQueryEdit;
    const DWORD style = kEditStyle | (rightToLeft ? ES_RIGHT : ES_LEFT);
    const DWORD exStyle = rightToLeft ? WS_EX_RTLREADING : 0;
    HWND field = ::CreateWindowExW(
        exStyle, L"EDIT", nullptr, style, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)),
        AfxGetInstanceHandle(), nullptr);
    if (!field)
        return false;
    if (!edit->SubclassWindow(field)) {
        ::DestroyWindow(field);
        return false;
    }
    edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(fallbackFont ? fallbackFont : font),
                      TRUE);
    edit->ShowWindow(SW_SHOW);
    return true;
}

void CGuiEdit::SetRightToLeft(bool fresh) {
    if (fresh == rightToLeft)
        return;
    rightToLeft = fresh;
    if (edit && ::IsWindow(edit->m_hWnd))
        RecreateEditControl();
}

// The new control takes the old one's place and size. Its text is put back
// quietly: the user changed nothing.
void CGuiEdit::RecreateEditControl() {
    std::wstring text;
    GetTextW(text);
    DWORD selStart = 0, selEnd = 0;
    edit->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                      reinterpret_cast<LPARAM>(&selEnd));
    const bool focused = ::GetFocus() == edit->m_hWnd;
    RECT rect{};
    edit->GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    edit->ShowWindow(SW_HIDE);
    delete edit;
    edit = nullptr;
    if (!CreateEditControl(rect)) {
        delete edit;
        edit = nullptr;
        return;
    }
    ++suppressNotify;
    ::SetWindowTextW(edit->m_hWnd, text.c_str());
    --suppressNotify;
    edit->SetSel(static_cast<int>(selStart), static_cast<int>(selEnd));
    if (focused)
        edit->SetFocus();
}

void CGuiEdit::OnPaint() {
    CPaintDC dc(this); // validates; the edit control covers what matters
}

void CGuiEdit::OnEditUpdate() {
    if (!suppressNotify && !Composing()) {
        if (HWND owner = ::GetParent(m_hWnd))
            ::PostMessageA(owner, UM_EDIT_UPDATED, 0, 1);
    }
    if (edit)
        edit->SetFocus();
    CheckFont();
}

std::wstring CGuiEdit::FamilyNeeded() const {
    std::wstring text;
    const_cast<CGuiEdit*>(this)->GetTextW(text);
    if (CFontFallback::IsPlain(text))
        return std::wstring();
    const int missing = CFontFallback::MissingGlyphs(font, text);
    return missing > 0 ? CFontFallback::FamilyFor(text, missing) : std::wstring();
}

// The font changes after the edit control's own handling of the change has
// finished, not in the middle of it.
void CGuiEdit::CheckFont() {
    if (edit && FamilyNeeded() != fallbackFamily)
        PostMessage(UM_FIELD_FONT, 0, 0);
}

LRESULT CGuiEdit::OnFieldFont(WPARAM, LPARAM) {
    if (!edit || !::IsWindow(edit->m_hWnd))
        return 0;
    const std::wstring family = FamilyNeeded();
    if (family == fallbackFamily)
        return 0;
    HFONT fresh = family.empty() ? nullptr : CreateFamilyFont(dpiScale.Scale(look.size), family);
    edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(fresh ? fresh : font), TRUE);
    DropFallbackFont();
    if (fresh) {
        fallbackFont = fresh;
        fallbackFamily = family;
    }
    return 0;
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
    if (edit)
        SetTextW(AnsiToWide(text));
}

void CGuiEdit::SetTextW(const std::wstring& text) {
    if (!edit)
        return;
    // Setting the text sends EN_UPDATE at once; callers that must not
    // notify set suppressNotify around this call.
    ::SetWindowTextW(edit->m_hWnd, text.c_str());
    const int end = ::GetWindowTextLengthW(edit->m_hWnd);
    edit->SetSel(end, end); // caret after the last character, scrolled into view
}

// WideToAnsi converts as GetWindowTextA does, and is exact also where a
// double-byte code page makes the narrow length differ from the wide one.
void CGuiEdit::GetText(CString& text) {
    if (!edit)
        return;
    std::wstring field;
    GetTextW(field);
    text = CString(WideToAnsi(field));
}

void CGuiEdit::GetTextW(std::wstring& text) {
    if (!edit)
        return;
    const int length = ::GetWindowTextLengthW(edit->m_hWnd);
    std::wstring field(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(edit->m_hWnd, &field[0], length + 1);
    field.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    text = field;
}

bool CGuiEdit::Composing() const {
    return edit && static_cast<const CQueryEdit*>(edit)->Composing();
}

// Any process could post the message: only the field's own state counts.
// A composition whose result changed the text is one change.
LRESULT CGuiEdit::OnFieldComposition(WPARAM opened, LPARAM changed) {
    if (opened && Composing()) {
        if (HWND owner = ::GetParent(m_hWnd))
            ::PostMessageA(owner, UM_COMPOSITION, 1, 0);
    } else if (!opened && changed && !Composing()) {
        OnEditUpdate();
    }
    return 0;
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
    if (changed)
        RenewFont();
}

void CGuiEdit::SetLook(const FieldLook& fresh) {
    look = fresh;
    if (backgroundBrush)
        ::DeleteObject(backgroundBrush);
    backgroundBrush = look.colored ? ::CreateSolidBrush(look.background) : nullptr;
    RenewFont();
    if (edit && ::IsWindow(edit->m_hWnd))
        edit->Invalidate(TRUE);
}

LRESULT CGuiEdit::OnCtlColorEdit(WPARAM wParam, LPARAM) {
    if (!look.colored || !backgroundBrush)
        return Default();
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, look.text);
    ::SetBkColor(dc, look.background);
    return reinterpret_cast<LRESULT>(backgroundBrush);
}

void CGuiEdit::RenewFont() {
    if (!font || !edit || !::IsWindow(edit->m_hWnd))
        return;
    // The control lets go of the old font before it is deleted.
    HFONT fresh = CreateEditFont(dpiScale, look);
    if (!fresh)
        return;
    edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(fresh), TRUE);
    ::DeleteObject(font);
    font = fresh;
    DropFallbackFont(); // it had the old size; the next change fits the font again
    CheckFont();
}

void MoveTo(CWnd* window, int x, int y) {
    if (!window)
        return;
    RECT rect{};
    window->GetWindowRect(&rect);
    window->MoveWindow(x, y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

LRESULT CGuiEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CCallDepth frame;
    return CWnd::WindowProc(message, wParam, lParam);
}
