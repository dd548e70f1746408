// CListAccessible: roles, names, states and locations of a popup list and
// its rows, hit-testing by the rectangles the mouse uses, and a row's
// default action, which is the list's own click.
#include "CListAccessible.h"
#include "ListAccessSource.h"

CListAccessible::CListAccessible(ListAccessSource* source) : source(source) {}

void CListAccessible::ForgetSource() {
    source = nullptr;
}

long CListAccessible::ChildCount() const {
    return source->RowCount();
}

void CListAccessible::NotifyRowHighlighted(HWND list, int row) {
    if (row < 0)
        return;
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, row + 1);
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, row + 1);
}

HRESULT CListAccessible::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!IsConnected())
        return RPC_E_DISCONNECTED;
    return WindowObject(source->ListWindow(), parent);
}

HRESULT CListAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    return id == CHILDID_SELF ? E_INVALIDARG : S_FALSE; // rows are simple children
}

HRESULT CListAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!name)
        return E_POINTER;
    *name = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    if (id == CHILDID_SELF)
        return ReturnText(source->ListName(), name);
    return ReturnAnsiText(source->RowName(RowOf(id)), name);
}

HRESULT CListAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!value)
        return E_POINTER;
    *value = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    return FAILED(checked) ? checked : DISP_E_MEMBERNOTFOUND;
}

HRESULT CListAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role)
        return E_POINTER;
    SetEmpty(role);
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    SetChildId(role, id == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    return S_OK;
}

HRESULT CListAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state)
        return E_POINTER;
    SetEmpty(state);
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    long bits = ::IsWindowVisible(source->ListWindow()) ? 0 : STATE_SYSTEM_INVISIBLE;
    if (id != CHILDID_SELF) {
        const int row = RowOf(id);
        bits |= source->RowSelectable(row) ? STATE_SYSTEM_SELECTABLE : STATE_SYSTEM_UNAVAILABLE;
        if (row == source->HighlightedRow())
            bits |= STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    }
    SetChildId(state, bits);
    return S_OK;
}

HRESULT CListAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return get_accDescription(child, shortcut);
}

HRESULT CListAccessible::ReturnHighlighted(VARIANT* out) const {
    SetEmpty(out);
    if (!IsConnected())
        return RPC_E_DISCONNECTED;
    const int row = source->HighlightedRow();
    if (row < 0 || row >= source->RowCount())
        return S_FALSE;
    SetChildId(out, row + 1);
    return S_OK;
}

HRESULT CListAccessible::get_accFocus(VARIANT* child) {
    if (!child)
        return E_POINTER;
    return ReturnHighlighted(child);
}

HRESULT CListAccessible::get_accSelection(VARIANT* children) {
    if (!children)
        return E_POINTER;
    return ReturnHighlighted(children);
}

HRESULT CListAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action)
        return E_POINTER;
    *action = nullptr;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    if (id == CHILDID_SELF || !source->RowSelectable(RowOf(id)))
        return S_FALSE;
    return ReturnText(L"Click", action);
}

HRESULT CListAccessible::accLocation(long* left, long* top, long* width, long* height,
                                     VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    const HWND window = source->ListWindow();
    RECT screen{};
    if (id == CHILDID_SELF)
        ::GetWindowRect(window, &screen);
    else
        screen = ClientToScreenRect(window, source->RowRect(RowOf(id)));
    SetLocation(screen, left, top, width, height);
    return S_OK;
}

HRESULT CListAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child)
        return E_POINTER;
    SetEmpty(child);
    if (!IsConnected())
        return RPC_E_DISCONNECTED;
    const HWND window = source->ListWindow();
    RECT screen{};
    ::GetWindowRect(window, &screen);
    POINT point{x, y};
    if (!::PtInRect(&screen, point))
        return S_FALSE;
    ::ScreenToClient(window, &point);
    const int row = source->RowAt(point);
    SetChildId(child, row >= 0 ? row + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT CListAccessible::accDoDefaultAction(VARIANT child) {
    long id = 0;
    const HRESULT checked = CheckChild(child, id);
    if (FAILED(checked))
        return checked;
    if (id == CHILDID_SELF || !source->RowSelectable(RowOf(id)))
        return DISP_E_MEMBERNOTFOUND;
    source->ChooseRow(RowOf(id));
    return S_OK;
}
