// CBarAccessible: roles, names, values, states and locations of the bar and
// its three parts, hit-testing by the rectangles the mouse uses, and the
// default actions, which do what the keys and clicks do. What the query
// field says of itself comes from the edit control's own object.
#include "CBarAccessible.h"
#include "../bar/CSearchBar.h"
#include "../input/CGuiEdit.h"

CBarAccessible::CBarAccessible(CSearchBar* bar) : bar(bar) {}

void CBarAccessible::NotifyEngineChanged(HWND barWindow) {
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, barWindow, OBJID_CLIENT, kEngineChooser);
}

void CBarAccessible::ForgetSource() {
    bar = nullptr;
}

HWND CBarAccessible::Window() const {
    return bar->m_hWnd;
}

HWND CBarAccessible::EditWindow() const {
    return bar->queryEdit ? bar->queryEdit->GetEditHwnd() : nullptr;
}

HRESULT CBarAccessible::QueryFieldObject(IAccessible** field) const {
    *field = nullptr;
    const HWND edit = EditWindow();
    if (!edit)
        return E_FAIL;
    return ::AccessibleObjectFromWindow(edit, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(field));
}

template <class Call> HRESULT CBarAccessible::AskQueryField(Call call) const {
    IAccessible* field = nullptr;
    const HRESULT found = QueryFieldObject(&field);
    if (FAILED(found))
        return found;
    VARIANT self;
    ReturnChildId(CHILDID_SELF, &self);
    const HRESULT result = call(field, self);
    field->Release();
    return result;
}

HRESULT CBarAccessible::ReturnQueryField(VARIANT* out) const {
    IAccessible* field = nullptr;
    const HRESULT found = QueryFieldObject(&field);
    if (FAILED(found))
        return found;
    out->vt = VT_DISPATCH;
    out->pdispVal = field; // the reference goes to the caller
    return S_OK;
}

HRESULT CBarAccessible::ChildObject(long id, IDispatch** object) const {
    if (id != kQueryField)
        return S_FALSE;
    IAccessible* field = nullptr;
    const HRESULT found = QueryFieldObject(&field);
    *object = field;
    return found;
}

HRESULT CBarAccessible::Name(long id, BSTR* name) const {
    switch (id) {
    case kEngineChooser:
        return ReturnText(L"Search engine", name);
    case kQueryField:
        return ReturnText(L"Search query", name);
    default: // the bar, and the search button
        return ReturnText(L"Search", name);
    }
}

HRESULT CBarAccessible::Value(long id, BSTR* value) const {
    if (id == kEngineChooser)
        return ReturnText(bar->currentEngine.nameW.c_str(), value);
    if (id == kQueryField)
        return AskQueryField(
            [&](IAccessible* f, VARIANT self) { return f->get_accValue(self, value); });
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CBarAccessible::Role(long id, VARIANT* role) const {
    switch (id) {
    case kEngineChooser:
        return ReturnChildId(ROLE_SYSTEM_BUTTONDROPDOWN, role);
    case kQueryField:
        return AskQueryField(
            [&](IAccessible* f, VARIANT self) { return f->get_accRole(self, role); });
    case kSearchButton:
        return ReturnChildId(ROLE_SYSTEM_PUSHBUTTON, role);
    default:
        return ReturnChildId(ROLE_SYSTEM_TOOLBAR, role);
    }
}

HRESULT CBarAccessible::State(long id, VARIANT* state) const {
    if (id == kQueryField)
        return AskQueryField(
            [&](IAccessible* f, VARIANT self) { return f->get_accState(self, state); });
    long bits = VisibilityState(Window());
    if (id == kEngineChooser)
        bits |= STATE_SYSTEM_HASPOPUP |
                (bar->EngineListOpen() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
    return ReturnChildId(bits, state);
}

HRESULT CBarAccessible::KeyboardShortcut(long id, BSTR* shortcut) const {
    return id == kEngineChooser ? ReturnText(L"Alt+Down", shortcut) : S_FALSE;
}

HRESULT CBarAccessible::Focus(VARIANT* child) const {
    const HWND focus = ::GetFocus();
    if (focus && focus == EditWindow())
        return ReturnQueryField(child);
    if (focus && focus == Window())
        return ReturnChildId(CHILDID_SELF, child);
    return S_FALSE;
}

HRESULT CBarAccessible::DefaultAction(long id, BSTR* action) const {
    switch (id) {
    case kEngineChooser:
        return ReturnText(L"Open", action);
    case kQueryField:
        return AskQueryField(
            [&](IAccessible* f, VARIANT self) { return f->get_accDefaultAction(self, action); });
    case kSearchButton:
        return ReturnText(L"Press", action);
    default:
        return S_FALSE;
    }
}

HRESULT CBarAccessible::Location(long id, RECT& screen) const {
    if (id == kQueryField)
        return ::GetWindowRect(EditWindow(), &screen) ? S_OK : E_FAIL;
    const RECT& client = id == kEngineChooser ? bar->engineHitRect : bar->searchButtonHitRect;
    screen = ClientToScreenRect(Window(), client);
    return S_OK;
}

// The bar's click rectangles first, in the order its click handler tries
// them; the query field lies in a window of its own above the bar.
HRESULT CBarAccessible::HitTest(POINT screen, VARIANT* child) const {
    POINT client = screen;
    ::ScreenToClient(Window(), &client);
    RECT field{};
    ::GetWindowRect(EditWindow(), &field);
    if (::PtInRect(&bar->engineHitRect, client))
        return ReturnChildId(kEngineChooser, child);
    if (::PtInRect(&bar->searchButtonHitRect, client))
        return ReturnChildId(kSearchButton, child);
    if (::PtInRect(&field, screen))
        return ReturnQueryField(child);
    return ReturnChildId(CHILDID_SELF, child);
}

HRESULT CBarAccessible::DoDefaultAction(long id) {
    switch (id) {
    case kEngineChooser:
        bar->OpenEngineListFromKeyboard();
        return S_OK;
    case kQueryField:
        return AskQueryField(
            [](IAccessible* f, VARIANT self) { return f->accDoDefaultAction(self); });
    case kSearchButton:
        bar->PressSearchButton();
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
