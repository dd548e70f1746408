// CBarAccessible: roles, names, values, states and locations of the bar and
// its three parts, hit-testing by the rectangles the mouse uses, and the
// default actions, which do what the keys and clicks do.
#include "CBarAccessible.h"
#include "../bar/CSearchBar.h"
#include "../input/CGuiEdit.h"

CBarAccessible::CBarAccessible(CSearchBar* bar) : bar(bar) {}

void CBarAccessible::ForgetSource() {
    bar = nullptr;
}

void CBarAccessible::NotifyEngineChanged(HWND barWindow) {
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, barWindow, OBJID_CLIENT, kEngineChooser);
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
    SetChildId(&self, CHILDID_SELF);
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

HRESULT CBarAccessible::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!IsConnected())
        return RPC_E_DISCONNECTED;
    return WindowObject(bar->m_hWnd, parent);
}

HRESULT CBarAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    if (id == CHILDID_SELF)
        return E_INVALIDARG;
    if (id != kQueryField)
        return S_FALSE;
    IAccessible* field = nullptr;
    const HRESULT found = QueryFieldObject(&field);
    *object = field;
    return found;
}

HRESULT CBarAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!name)
        return E_POINTER;
    *name = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    switch (id) {
    case kEngineChooser:
        return ReturnText(L"Search engine", name);
    case kQueryField:
        return ReturnText(L"Search query", name);
    default: // the bar, and the search button
        return ReturnText(L"Search", name);
    }
}

HRESULT CBarAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!value)
        return E_POINTER;
    *value = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    if (id == kEngineChooser)
        return ReturnAnsiText(bar->currentEngine.name, value);
    if (id == kQueryField)
        return AskQueryField([&](IAccessible* f, VARIANT self) { return f->get_accValue(self, value); });
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CBarAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role)
        return E_POINTER;
    SetEmpty(role);
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    switch (id) {
    case kEngineChooser:
        SetChildId(role, ROLE_SYSTEM_BUTTONDROPDOWN);
        return S_OK;
    case kQueryField:
        return AskQueryField([&](IAccessible* f, VARIANT self) { return f->get_accRole(self, role); });
    case kSearchButton:
        SetChildId(role, ROLE_SYSTEM_PUSHBUTTON);
        return S_OK;
    default:
        SetChildId(role, ROLE_SYSTEM_TOOLBAR);
        return S_OK;
    }
}

HRESULT CBarAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state)
        return E_POINTER;
    SetEmpty(state);
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    if (id == kQueryField)
        return AskQueryField([&](IAccessible* f, VARIANT self) { return f->get_accState(self, state); });
    long bits = ::IsWindowVisible(bar->m_hWnd) ? 0 : STATE_SYSTEM_INVISIBLE;
    if (id == kEngineChooser)
        bits |= STATE_SYSTEM_HASPOPUP |
                (bar->EngineListOpen() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
    SetChildId(state, bits);
    return S_OK;
}

HRESULT CBarAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut)
        return E_POINTER;
    *shortcut = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    return id == kEngineChooser ? ReturnText(L"Alt+Down", shortcut) : S_FALSE;
}

HRESULT CBarAccessible::get_accFocus(VARIANT* child) {
    if (!child)
        return E_POINTER;
    SetEmpty(child);
    if (!IsConnected())
        return RPC_E_DISCONNECTED;
    const HWND focus = ::GetFocus();
    if (focus && focus == EditWindow())
        return ReturnQueryField(child);
    if (focus && focus == bar->m_hWnd) {
        SetChildId(child, CHILDID_SELF);
        return S_OK;
    }
    return S_FALSE;
}

HRESULT CBarAccessible::get_accSelection(VARIANT* children) {
    if (!children)
        return E_POINTER;
    SetEmpty(children);
    return IsConnected() ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT CBarAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action)
        return E_POINTER;
    *action = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
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

HRESULT CBarAccessible::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    RECT screen{};
    switch (id) {
    case kEngineChooser:
        screen = ClientToScreenRect(bar->m_hWnd, bar->engineHitRect);
        break;
    case kQueryField:
        ::GetWindowRect(EditWindow(), &screen);
        break;
    case kSearchButton:
        screen = ClientToScreenRect(bar->m_hWnd, bar->searchButtonHitRect);
        break;
    default:
        ::GetWindowRect(bar->m_hWnd, &screen);
        break;
    }
    SetLocation(screen, left, top, width, height);
    return S_OK;
}

// The bar's click rectangles first, in the order its click handler tries
// them; the query field lies in a window of its own above the bar.
HRESULT CBarAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child)
        return E_POINTER;
    SetEmpty(child);
    if (!IsConnected())
        return RPC_E_DISCONNECTED;
    const POINT point{x, y};
    RECT window{};
    ::GetWindowRect(bar->m_hWnd, &window);
    if (!::PtInRect(&window, point))
        return S_FALSE;
    POINT client = point;
    ::ScreenToClient(bar->m_hWnd, &client);
    RECT field{};
    ::GetWindowRect(EditWindow(), &field);
    if (::PtInRect(&bar->engineHitRect, client))
        SetChildId(child, kEngineChooser);
    else if (::PtInRect(&bar->searchButtonHitRect, client))
        SetChildId(child, kSearchButton);
    else if (::PtInRect(&field, point))
        return ReturnQueryField(child);
    else
        SetChildId(child, CHILDID_SELF);
    return S_OK;
}

HRESULT CBarAccessible::accDoDefaultAction(VARIANT child) {
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    switch (id) {
    case kEngineChooser:
        bar->OpenEngineListFromKeyboard();
        return S_OK;
    case kQueryField:
        return AskQueryField([](IAccessible* f, VARIANT self) { return f->accDoDefaultAction(self); });
    case kSearchButton:
        bar->PressSearchButton();
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
