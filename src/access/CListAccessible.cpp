// CListAccessible: roles, names, states and locations of a popup list and
// its rows, hit-testing by the rectangles the mouse uses, and a row's
// default action, which is the list's own click.
#include "CListAccessible.h"
#include "ListAccessSource.h"

CListAccessible::CListAccessible(ListAccessSource* source) : source(source) {}

void CListAccessible::NotifyRowHighlighted(HWND list, int row) {
    if (row < 0)
        return;
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, row + 1);
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, row + 1);
}

void CListAccessible::ForgetSource() {
    source = nullptr;
}

HWND CListAccessible::Window() const {
    return source->ListWindow();
}

long CListAccessible::ChildCount() const {
    return source->RowCount();
}

bool CListAccessible::Choosable(long id) const {
    return id != CHILDID_SELF && source->RowSelectable(RowOf(id));
}

HRESULT CListAccessible::Name(long id, BSTR* name) const {
    if (id == CHILDID_SELF)
        return ReturnText(source->ListName(), name);
    return ReturnText(source->RowName(RowOf(id)).c_str(), name);
}

HRESULT CListAccessible::Description(long id, BSTR* description) const {
    const std::wstring text = id == CHILDID_SELF ? std::wstring() : source->RowDescription(RowOf(id));
    return text.empty() ? S_FALSE : ReturnText(text.c_str(), description);
}

HRESULT CListAccessible::Role(long id, VARIANT* role) const {
    return ReturnChildId(id == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM, role);
}

HRESULT CListAccessible::State(long id, VARIANT* state) const {
    long bits = VisibilityState(Window());
    if (id != CHILDID_SELF) {
        bits |= Choosable(id) ? STATE_SYSTEM_SELECTABLE : STATE_SYSTEM_UNAVAILABLE;
        if (RowOf(id) == source->HighlightedRow())
            bits |= STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    }
    return ReturnChildId(bits, state);
}

HRESULT CListAccessible::Focus(VARIANT* child) const {
    const int row = source->HighlightedRow();
    if (row < 0 || row >= source->RowCount())
        return S_FALSE;
    return ReturnChildId(row + 1, child);
}

HRESULT CListAccessible::Selection(VARIANT* children) const {
    return Focus(children);
}

HRESULT CListAccessible::DefaultAction(long id, BSTR* action) const {
    return Choosable(id) ? ReturnText(L"Click", action) : S_FALSE;
}

HRESULT CListAccessible::Location(long id, RECT& screen) const {
    screen = ClientToScreenRect(Window(), source->RowRect(RowOf(id)));
    return S_OK;
}

HRESULT CListAccessible::HitTest(POINT screen, VARIANT* child) const {
    POINT client = screen;
    ::ScreenToClient(Window(), &client);
    const int row = source->RowAt(client);
    return ReturnChildId(row >= 0 ? row + 1 : CHILDID_SELF, child);
}

HRESULT CListAccessible::DoDefaultAction(long id) {
    if (!Choosable(id))
        return DISP_E_MEMBERNOTFOUND;
    source->ChooseRow(RowOf(id));
    return S_OK;
}
